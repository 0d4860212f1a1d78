#pragma once

// How a transfer to or from the radio ended. Whatever it had to say (the missing radio, the
// failed write) has been shown by then; the outcome only tells a caller such as the command-line
// tool how it went.
namespace rcp::image {

enum class TransferOutcome {
  Done,     // every step ran
  NoRadio,  // the radio did not answer the greeting's letter; nothing was transferred
  Failed,   // the radio stopped acknowledging the bulk block part-way
};

}  // namespace rcp::image
