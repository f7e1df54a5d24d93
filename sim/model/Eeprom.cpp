// EEPROM image file: "QVEE", a format byte, six 12-byte parameter sets in wire order and a
// CRC-32 (little-endian) over everything before it.
#include "Eeprom.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qv725sim {

namespace {

constexpr char Magic[4] = {'Q', 'V', 'E', 'E'};
constexpr uint8_t FormatVersion = 1;
constexpr size_t HeaderSize = sizeof(Magic) + 1;
constexpr size_t BodySize = ChannelCount * ChannelParamsWireSize;
constexpr size_t FileSize = HeaderSize + BodySize + 4;

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return ~crc;
}

std::vector<uint8_t> Serialise(const std::array<ChannelParams, ChannelCount>& image) {
    std::vector<uint8_t> bytes(Magic, Magic + sizeof(Magic));
    bytes.push_back(FormatVersion);
    for (const ChannelParams& params : image) {
        const ChannelParamsWire wire = EncodeChannelParams(params);
        bytes.insert(bytes.end(), wire.begin(), wire.end());
    }
    const uint32_t crc = Crc32(bytes.data(), bytes.size());
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    }
    return bytes;
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
#ifdef _WIN32
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    // The data must be on disk before the rename makes it the EEPROM.
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
#endif
}

}  // namespace

Eeprom::Eeprom(std::string path) : path_(std::move(path)) {
    image_.fill(FactoryChannelParams());
}

Eeprom::LoadResult Eeprom::Load() {
    image_.fill(FactoryChannelParams());
    damaged_ = false;
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        return LoadResult::Missing;
    }
    // Read one byte more than the format holds so that a long file is noticed.
    std::vector<uint8_t> bytes(FileSize + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const size_t size = static_cast<size_t>(in.gcount());
    if (size != FileSize || std::memcmp(bytes.data(), Magic, sizeof(Magic)) != 0 ||
        bytes[sizeof(Magic)] != FormatVersion) {
        damaged_ = true;
        return LoadResult::Damaged;
    }
    uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) {
        stored |= static_cast<uint32_t>(bytes[HeaderSize + BodySize + i]) << (8 * i);
    }
    if (stored != Crc32(bytes.data(), HeaderSize + BodySize)) {
        damaged_ = true;
        return LoadResult::Damaged;
    }
    for (int i = 0; i < ChannelCount; ++i) {
        image_[i] = DecodeChannelParams(&bytes[HeaderSize + i * ChannelParamsWireSize]);
    }
    return LoadResult::Loaded;
}

bool Eeprom::Store(int channel, const ChannelParams& params) {
    std::array<ChannelParams, ChannelCount> image = image_;
    image[channel] = params;
    if (!WriteImage(image)) {
        return false;
    }
    image_ = image;
    return true;
}

bool Eeprom::WriteImage(const std::array<ChannelParams, ChannelCount>& image) {
    if (damaged_) {
        // Keep what could not be read for someone to look at; never overwrite it.
        const std::string aside = path_ + ".damaged";
        if (std::rename(path_.c_str(), aside.c_str()) != 0 && errno != ENOENT) {
            return false;
        }
        damaged_ = false;
    }
#ifdef _WIN32
    const std::string temp = path_ + ".tmp";
#else
    const std::string temp = path_ + ".tmp." + std::to_string(::getpid());
#endif
    if (!WriteWhole(temp, Serialise(image))) {
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path_.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace qv725sim
