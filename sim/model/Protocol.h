// What the controller answers to each command: reply code and data for one request, applied to
// the model and the EEPROM. Framing and faults live elsewhere (Responder, FaultPolicy).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ControllerModel.h"
#include "Eeprom.h"

namespace qv725sim {

// Command codes of the controller.
enum Command : uint8_t {
    CmdEcho = 2,
    CmdInfo = 3,
    CmdSetAddress = 4,
    CmdGetAddress = 5,
    CmdGetT = 6,
    CmdGetV = 7,
    CmdSetM = 8,
    CmdGetM = 9,
    CmdSetPWM = 10,
    CmdGetPWM = 11,
    CmdSavePar = 12,
    CmdCallPar = 13,
};

// Status byte, the first data byte of every reply but those to echo and identification.
enum Status : uint8_t {
    StatusOk = 0,
    StatusInvalidPacket = 1,
    StatusBusy = 2,
    StatusNotReady = 3,
    StatusInvalidParameters = 4,
};

// The identification text; the reply carries it with a terminating zero byte.
inline constexpr char Identification[] = "QV-725 sim 1.0";

struct Reply {
    uint8_t command = 0;
    std::vector<uint8_t> data;
};

// True for the codes whose reply starts with a status byte (all but echo and identification).
bool HasStatusByte(uint8_t command);

class Protocol {
public:
    Protocol(ControllerModel& model, Eeprom& eeprom) : model_(model), eeprom_(eeprom) {}

    // The reply to one request; it always carries the request's command code.
    Reply Answer(uint8_t command, const uint8_t* data, size_t count);

    // The device's own address (0 to 127) as set with the set-address command; 0 means it
    // answers requests whatever address they carry.
    uint8_t Address() const { return address_; }

private:
    std::vector<uint8_t> SetAddress(const uint8_t* data, size_t count);
    std::vector<uint8_t> Readings(uint8_t command, size_t count);
    std::vector<uint8_t> SetM(const uint8_t* data, size_t count);
    std::vector<uint8_t> GetM(const uint8_t* data, size_t count);
    std::vector<uint8_t> SetPwm(const uint8_t* data, size_t count);
    std::vector<uint8_t> EepromCommand(uint8_t command, const uint8_t* data, size_t count);

    ControllerModel& model_;
    Eeprom& eeprom_;
    uint8_t address_ = 0;
};

}  // namespace qv725sim
