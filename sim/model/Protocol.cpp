// The controller's command set: every request is checked for its length (and channel), then
// applied to the model or the EEPROM, and answered with a status byte and the reply layout.
#include "Protocol.h"

namespace qv725sim {

namespace {

void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

std::vector<uint8_t> StatusOnly(uint8_t status) {
    return {status};
}

}  // namespace

bool HasStatusByte(uint8_t command) {
    return command != CmdEcho && command != CmdInfo;
}

Reply Protocol::Answer(uint8_t command, const uint8_t* data, size_t count) {
    Reply reply;
    reply.command = command;
    switch (command) {
        case CmdEcho:
            reply.data.assign(data, data + count);
            break;
        case CmdInfo:
            if (count != 0) {
                reply.data = StatusOnly(StatusInvalidParameters);
            } else {
                reply.data.assign(Identification, Identification + sizeof(Identification));
            }
            break;
        case CmdSetAddress:
            reply.data = SetAddress(data, count);
            break;
        case CmdGetAddress:
            reply.data = count == 0 ? std::vector<uint8_t>{StatusOk, address_}
                                    : StatusOnly(StatusInvalidParameters);
            break;
        case CmdGetT:
        case CmdGetV:
        case CmdGetPWM:
            reply.data = Readings(command, count);
            break;
        case CmdSetM:
            reply.data = SetM(data, count);
            break;
        case CmdGetM:
            reply.data = GetM(data, count);
            break;
        case CmdSetPWM:
            reply.data = SetPwm(data, count);
            break;
        case CmdSavePar:
        case CmdCallPar:
            reply.data = EepromCommand(command, data, count);
            break;
        default:
            reply.data = StatusOnly(StatusInvalidPacket);
            break;
    }
    return reply;
}

std::vector<uint8_t> Protocol::SetAddress(const uint8_t* data, size_t count) {
    if (count != 1 || data[0] > 127) {
        return StatusOnly(StatusInvalidParameters);
    }
    address_ = data[0];
    return StatusOnly(StatusOk);
}

std::vector<uint8_t> Protocol::Readings(uint8_t command, size_t count) {
    if (count != 0) {
        return StatusOnly(StatusInvalidParameters);
    }
    std::vector<uint8_t> out{StatusOk};
    for (int i = 0; i < ChannelCount; ++i) {
        if (command == CmdGetT) {
            PutLe16(out, static_cast<uint16_t>(model_.Temperature(i)));
        } else if (command == CmdGetV) {
            PutLe16(out, model_.FanSpeed(i));
        } else {
            out.push_back(model_.Pwm(i));
        }
    }
    return out;
}

std::vector<uint8_t> Protocol::SetM(const uint8_t* data, size_t count) {
    if (count != 1 + ChannelParamsWireSize || data[0] >= ChannelCount) {
        return StatusOnly(StatusInvalidParameters);
    }
    model_.SetParams(data[0], DecodeChannelParams(data + 1));
    return StatusOnly(StatusOk);
}

std::vector<uint8_t> Protocol::GetM(const uint8_t* data, size_t count) {
    if (count != 1 || data[0] >= ChannelCount) {
        return StatusOnly(StatusInvalidParameters);
    }
    const ChannelParamsWire wire = EncodeChannelParams(model_.Params(data[0]));
    std::vector<uint8_t> out{StatusOk};
    out.insert(out.end(), wire.begin(), wire.end());
    return out;
}

std::vector<uint8_t> Protocol::SetPwm(const uint8_t* data, size_t count) {
    if (count != ChannelCount) {
        return StatusOnly(StatusInvalidParameters);
    }
    for (int i = 0; i < ChannelCount; ++i) {
        model_.SetPwm(i, data[i]);
    }
    return StatusOnly(StatusOk);
}

std::vector<uint8_t> Protocol::EepromCommand(uint8_t command, const uint8_t* data, size_t count) {
    if (count != 1 || data[0] >= ChannelCount) {
        return StatusOnly(StatusInvalidParameters);
    }
    const int channel = data[0];
    if (command == CmdSavePar) {
        // A write that did not reach the file is not reported as saved.
        return StatusOnly(eeprom_.Store(channel, model_.Params(channel)) ? StatusOk
                                                                         : StatusNotReady);
    }
    model_.SetParams(channel, eeprom_.Channel(channel));
    return StatusOnly(StatusOk);
}

}  // namespace qv725sim
