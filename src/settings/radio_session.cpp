#include "settings/radio_session.hpp"

#include <string>

#include "link/greeting.hpp"
#include "link/low_latency.hpp"
#include "link/radio_identity.hpp"

namespace rcp::settings {

void showIdentity(ProgramState& state) {
  state.showStatus(StatusPanel::Identity, link::identityText(state.radioIdentity));
}

void reportNoRadio(ProgramState& state) {
  state.showStatus(StatusPanel::State, std::string(link::kNoRadioStatus));
  state.repaintStatusBar();
  ui::Message box{std::string(link::kNoRadioMessage), std::string(link::kNoRadioCaption),
                  ui::MessageIcon::Error};
  // A USB adaptor that holds the answers back past the time-outs looks like a silent radio.
  if (auto latency = link::latencyProblem(state.portDevice(), state.system))
    box.detail = std::move(*latency);
  state.dialogs.message(box);
}

void applyIdentification(ProgramState& state, link::IdentifyPurpose purpose) {
  const link::Identification found = link::identify(state.radioIdentity, purpose);
  auto& v = state.values;
  if (found.presetSimplex) {
    for (std::size_t i = 0; i < link::kPresetSimplexFreqs.size(); ++i) {
      const std::size_t channel = 16 - WorkingValues::firstSimplex + i;
      v.simplexRx[channel] = link::kPresetSimplexFreqs[i];
      v.simplexTx[channel] = link::kPresetSimplexFreqs[i];
    }
  }
  if (found.welcome) state.showStatus(StatusPanel::State, std::string(*found.welcome));
  v.duplexSpacing = found.model->duplexSpacing;
  state.setCaption(std::string(found.model->caption));
  v.phoneBookModel = found.model->packedPhoneBook;
}

}  // namespace rcp::settings
