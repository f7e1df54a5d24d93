// The recording log's file: opened for each row, the row written whole or not at all.
#include "RecordingLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Csv.h"
#include "HistoryCsv.h"
#include "LocalTime.h"

namespace {

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::FILE* OpenFile(const std::filesystem::path& path, bool truncate) {
#ifdef _WIN32
    return _wfopen(path.c_str(), truncate ? L"wb" : L"ab");
#else
    return std::fopen(path.c_str(), truncate ? "wb" : "ab");
#endif
}

}  // namespace

bool TRecordingLog::Start(const std::string& fileName, const std::array<std::string, 6>& names) {
    fileName_ = fileName;
    active_ = false;
    std::vector<std::string> fields{"Time"};
    for (int c = 0; c < 6; ++c) {
        const std::string heading = ChannelHeading(c, names[static_cast<size_t>(c)]);
        fields.push_back(heading + " °C");
        fields.push_back(heading + " rpm");
        fields.push_back(heading + " PWM %");
    }
    header_ = CsvRow(fields);
    if (!Write(header_, true))
        return false;
    active_ = true;
    return true;
}

bool TRecordingLog::Append(const TRecordedCycle& cycle) {
    if (!active_)
        return false;
    if (!Write(RowText(cycle), false)) {
        active_ = false;
        return false;
    }
    return true;
}

std::string TRecordingLog::RowText(const TRecordedCycle& cycle) {
    std::vector<std::string> fields{LocalIsoTimeText(cycle.TimeMs)};
    for (size_t c = 0; c < 6; ++c) {
        if (!cycle.Online) {
            fields.insert(fields.end(), 3, std::string());
            continue;
        }
        const int32_t t = cycle.Temperature[c];
        fields.push_back(CsvNumber(t > 0 ? t * 0.1 : 0.0, 1));
        fields.push_back(std::to_string(cycle.FanSpeed[c]));
        fields.push_back(CsvNumber(cycle.Pwm[c] * 100.0 / 255.0, 1));
    }
    return CsvRow(fields);
}

bool TRecordingLog::Write(const std::string& text, bool truncate) {
    const std::filesystem::path path = PathOf(fileName_);
    std::error_code ec;
    const std::uintmax_t size = truncate ? 0 : std::filesystem::file_size(path, ec);
    const bool existed = !truncate && !ec;
    // A file that was deleted while recording starts again with its header.
    const std::string bytes = !truncate && !existed ? header_ + text : text;
    errno = 0;
    std::FILE* file = OpenFile(path, truncate);
    if (file == nullptr) {
        error_ = "Cannot write " + fileName_ + ": " + std::strerror(errno);
        return false;
    }
    // Unbuffered: the row goes to the system in as few writes as it takes, and a failure is
    // seen at the write that failed.
    std::setvbuf(file, nullptr, _IONBF, 0);
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written == bytes.size() && closed)
        return true;
    error_ = "Cannot write " + fileName_ + ": " +
             std::strerror(writeErrno != 0 ? writeErrno
                           : errno != 0    ? errno
                                           : EIO);
    // Whatever part of the row reached the file goes again: the file ends with a whole row.
    if (existed)
        std::filesystem::resize_file(path, size, ec);
    else
        std::filesystem::resize_file(path, 0, ec);
    return false;
}
