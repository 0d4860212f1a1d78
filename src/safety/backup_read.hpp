#pragma once

#include <optional>

#include "image/small_records.hpp"
#include "link/ini_document.hpp"
#include "transfer/read_transfer.hpp"
#include "transfer/write_verification.hpp"

// What a backup keeps beside its record, so that writing it back leaves the radio byte for byte
// as its read found it: the memory the read brought (raw, before any box clamped a value or
// found no choice for a byte), the menu bits no switch drives, and a fingerprint of the record as
// saved. A backup whose record was edited since is an ordinary data file again.
namespace rcp::app {

inline constexpr const char* kBackupReadSection = "RadioRead";

struct BackupRead {
  image::MenuBits menuBits{};
  image::ReadBack memory;
};

// Adds the section to a backup whose record is already in `document`.
void addBackupRead(link::IniDocument& document, const image::RadioReading& reading,
                   const image::MenuBits& menuBits);

// The section of a backup whose record is as it was saved; nothing for any other data file.
std::optional<BackupRead> backupRead(const link::IniDocument& document);

}  // namespace rcp::app
