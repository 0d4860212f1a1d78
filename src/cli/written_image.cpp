#include "cli/written_image.hpp"

#include <string>

#include "cli/terminal_program.hpp"
#include "sim/radio_models.hpp"
#include "sim/simulated_port.hpp"
#include "sim/virtual_radio.hpp"
#include "window/transfer_commands.hpp"

namespace rcp::app {

int writtenImage(std::string_view model, const std::filesystem::path& file, const CliStreams& io,
                 RadioMemory& memory) {
  const auto identity = sim::identityOfModel(model);
  if (!identity) {
    std::string models;
    for (const sim::ModelIdentity& known : sim::modelIdentities())
      models += (models.empty() ? "" : " ") + std::string(known.model);
    TerminalLines(io.err, false)
        .line("没有型号“" + std::string(model) + "”。可用的型号：" + models + "。");
    return kExitUsageFileOrPort;
  }
  sim::VirtualRadio radio(*identity);
  link::VirtualClock clock;
  sim::SimulatedPort port(radio, clock);
  TracedLink traced(port, clock, io.trace);
  if (!traceReady(traced, io)) return kExitUsageFileOrPort;
  TerminalProgram terminal(traced.port(), traced.clock(), {io.out, io.err, false});
  clock.pause(kUserPauseMs);
  port.settle();
  if (const int code = openFile(terminal, file); code != kExitDone) return code;
  TransferMemory transfer;
  const int code = runTransfer(terminal, [&](settings::ProgramState& state) {
    return WriteDataClick(state, transfer, {}, RestoreOffer::PrintPath).outcome;
  });
  if (code != kExitDone) return code;
  port.settle();
  memory = radio.memory();
  return kExitDone;
}

}  // namespace rcp::app
