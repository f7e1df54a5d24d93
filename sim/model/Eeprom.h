// The controller's EEPROM: six channel parameter sets kept in a file, so that saved parameters
// survive the simulator. The file is replaced atomically; an unreadable one means factory data.
#pragma once

#include <array>
#include <string>

#include "ChannelParams.h"

namespace qv725sim {

class Eeprom {
public:
    enum class LoadResult { Loaded, Missing, Damaged };

    // Holds factory defaults until Load() is called.
    explicit Eeprom(std::string path);

    // Reads the file. A missing, short, long or corrupted file leaves factory defaults.
    LoadResult Load();

    const ChannelParams& Channel(int channel) const { return image_[channel]; }
    // Puts one channel into the image and writes the whole image to the file. On failure the
    // image and the file keep their previous contents and the result is false.
    bool Store(int channel, const ChannelParams& params);

    const std::string& Path() const { return path_; }

private:
    bool WriteImage(const std::array<ChannelParams, ChannelCount>& image);

    std::string path_;
    std::array<ChannelParams, ChannelCount> image_;
    // A damaged file is moved aside (to "<path>.damaged") before the first write, not overwritten.
    bool damaged_ = false;
};

}  // namespace qv725sim
