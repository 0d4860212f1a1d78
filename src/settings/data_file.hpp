#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "link/ini_document.hpp"
#include "link/ini_profile.hpp"
#include "settings/program_state.hpp"

// Data files: one settings record kept on disk as an INI file in the Simplified Chinese code
// page, one section "File0". Saving updates an existing file in place; opening sets every field
// it reads with the side effects of a user making the change. Neither shows anything: failures
// come back as values for the caller to show.
namespace rcp::settings {

// A data file larger than this is not one; it is neither read nor rewritten.
inline constexpr std::uintmax_t kMaxDataFileSize = link::kMaxIniFileSize;

struct DataFileError {
  enum class Kind {
    Missing,      // opening: no such file
    Unreadable,   // opening: the file could not be read
    NotDataFile,  // opening: no section "File0", or far too large to be a data file
    NotANumber,   // opening: a value that has to be a number is none; nothing was changed
    Interrupted,  // opening: an editing rule failed while the values were being set
    Unwritable,   // saving: the file could not be written; it is as it was
  };
  Kind kind;
  std::string message;   // the text to show, naming the file or the offending value
  std::string key = {};  // NotANumber: the key whose value is no number
};

// The error in one line for a terminal: the message with the key and the file it came from.
std::string dataFileErrorDetail(const DataFileError& error, const std::filesystem::path& file);

// Saves the record into the file: every key whose condition holds is set in section "File0" in
// the order of the key table, keys that opening would read back from an older save are removed,
// and every other line of an existing file stays as it was. The new content replaces the file in
// one step. Reading the record sets a spin field whose text is no number to its minimum.
std::optional<DataFileError> saveDataFile(ProgramState& state, const std::filesystem::path& file);

// Opens the file into the record. Every value is converted before any field is set, so a value
// that is no number changes nothing; so does a file that is missing, unreadable or holds no
// section "File0". The stop-channel checks that follow an open are the caller's.
std::optional<DataFileError> openDataFile(ProgramState& state, const std::filesystem::path& file);

// The same on a document in memory.
void saveRecord(ProgramState& state, link::IniDocument& document);
std::optional<DataFileError> openRecord(ProgramState& state, const link::IniDocument& document);
// Opening leaves the start-up text and password as they were; a fleet member's write and a
// backup's write-back take them from the file as well, where it has them.
void openStartUpTexts(ProgramState& state, const link::IniDocument& document);

}  // namespace rcp::settings
