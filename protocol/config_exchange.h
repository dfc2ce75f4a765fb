// The read and write transactions with the converter: how often a message is sent, how long the
// tool waits, how incoming bytes are gathered and which bytes decide success.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/device_config.h"
#include "protocol/exchange_trace.h"
#include "protocol/port_io.h"

namespace linkmate {

inline constexpr int kExchangeAttempts = 4;

inline constexpr uint32_t kRequestWriteTimeoutMs = 100;
inline constexpr uint32_t kReplyReadTimeoutMs = 1000;
inline constexpr uint32_t kReplyReadChunk = 64;
inline constexpr size_t kReplyBufferSize = 96;

// Each collection also ends at an overall deadline: its read time-out plus the line time of the
// bytes it waits for at the slowest converter's rate (10 bits per byte). Each byte restarts the
// read time-out, so without it a converter that trickles bytes would hold the tool for minutes.
inline constexpr uint32_t kSlowestConfigBitRate = 19200;

inline constexpr uint32_t kFrameWriteTimeoutMs = 500;
inline constexpr uint32_t kAckReadTimeoutMs = 500;
inline constexpr uint32_t kAckReadChunk = 32;
inline constexpr size_t kAckBufferSize = 32;

// Asks the converter for its configuration. On true the three groups hold the decoded reply; on
// false they are unchanged. The port is never purged: bytes that arrive late stay queued and are
// read first by the next collection. `trace`, when given, records every attempt.
bool ReadConfig(PortIo& port, SerialSettings& serial, CanSettings& can, TranSettings& tran,
                ExchangeTrace* trace = nullptr);
bool ReadConfig(PortIo& port, DeviceConfig& config, ExchangeTrace* trace = nullptr);

// Sends the write frame built from the three groups until the converter acknowledges it.
bool WriteConfig(PortIo& port, const SerialSettings& serial, const CanSettings& can,
                 const TranSettings& tran, ExchangeTrace* trace = nullptr);
bool WriteConfig(PortIo& port, const DeviceConfig& config, ExchangeTrace* trace = nullptr);

// Collects up to one acknowledgement and tests it against `expectedCommand`.
bool WaitAck(PortIo& port, uint8_t expectedCommand, TraceAttempt* record = nullptr);

}  // namespace linkmate
