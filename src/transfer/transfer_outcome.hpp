#pragma once

// How a transfer to or from the radio ended. Whatever it had to say (the missing radio, the
// failed write) has been shown by then; the outcome only tells a caller such as the command-line
// tool how it went.
namespace rcp::image {

// The caption of the transfers' failure messages.
inline constexpr const char* kTransferCaption = "读写数据";

enum class TransferOutcome {
  Done,     // every step ran
  NoRadio,  // the radio did not answer the greeting's letter; nothing was transferred
  Failed,   // the radio stopped acknowledging the bulk block, or left a read request unanswered
};

}  // namespace rcp::image
