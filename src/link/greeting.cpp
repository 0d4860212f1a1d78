#include "link/greeting.hpp"

#include <algorithm>

#include "link/commands.hpp"

namespace rcp::link {

namespace {

constexpr int kTestStatePauseMs = 30;
constexpr int kBulkPauseMs = 50;

// Reads the identity; a short answer overwrites only the bytes that came.
std::size_t readIdentity(Port& port, RadioIdentity& identity) {
  RadioIdentity answer{};
  const std::size_t got = port.read(answer);
  std::copy_n(answer.begin(), got, identity.begin());
  return got;
}

// Reads one answer byte; true when it came and is `expected`.
bool answeredWith(Port& port, ModeLetter expected) {
  std::uint8_t answer = 0;
  return port.read(std::span(&answer, 1)) == 1 && answer == static_cast<std::uint8_t>(expected);
}

void wakeAndPause(Port& port, Clock& clock, int pauseMs) {
  port.purgeBoth();
  port.write(wakeByte());
  clock.pause(pauseMs);
  port.purgeReceive();
}

void notify(const std::function<void()>& callback) {
  if (callback) callback();
}

}  // namespace

int greetingPauseMs(GreetingPurpose purpose) {
  switch (purpose) {
    case GreetingPurpose::StartUp:
      return 10;
    case GreetingPurpose::Read:
      return 20;
    case GreetingPurpose::Write:
      return 30;
  }
  return 0;
}

GreetingResult greet(Port& port, Clock& clock, GreetingPurpose purpose, RadioIdentity& identity) {
  if (purpose != GreetingPurpose::StartUp) port.purgeBoth();
  port.write(wakeByte());
  clock.pause(greetingPauseMs(purpose));
  port.purgeReceive();
  port.write(progAfterWake());
  const std::size_t got = readIdentity(port, identity);

  switch (purpose) {
    case GreetingPurpose::StartUp:
      return {got == identity.size(), got};
    case GreetingPurpose::Read:
      port.purgeReceive();
      port.write(modeLetter(ModeLetter::SendBulk));
      return {answeredWith(port, ModeLetter::SendBulk), got};
    case GreetingPurpose::Write:
      port.write(modeLetter(ModeLetter::EnterTest));
      port.purgeReceive();
      return {answeredWith(port, ModeLetter::EnterTest), got};
  }
  return {false, got};
}

void enterTestState(Port& port, RadioIdentity& identity,
                    const std::function<void()>& identityArrived) {
  port.purgeBoth();
  port.write(progCommand());
  readIdentity(port, identity);
  notify(identityArrived);
  port.write(modeLetter(ModeLetter::EnterTest));
}

void returnToTestState(Port& port, Clock& clock, RadioIdentity& identity, AfterTransfer after,
                       std::span<const std::uint8_t> channelCommand) {
  wakeAndPause(port, clock, kTestStatePauseMs);
  port.write(after == AfterTransfer::Reading ? progAfterWake() : progCommand());
  readIdentity(port, identity);
  port.write(modeLetter(ModeLetter::EnterTest));
  port.purgeReceive();
  if (!channelCommand.empty()) port.write(channelCommand);
}

void greetAfterCalibrationReset(Port& port, Clock& clock, RadioIdentity& identity) {
  wakeAndPause(port, clock, kTestStatePauseMs);
  port.write(progCommand());
  readIdentity(port, identity);
  port.write(modeLetter(ModeLetter::EnterTest));
}

bool greetBeforeBulkChunks(Port& port, Clock& clock, RadioIdentity& identity,
                           const std::function<void()>& identityArrived) {
  port.write(modeLetter(ModeLetter::Leave));
  clock.pause(kBulkPauseMs);
  port.purgeReceive();
  port.write(wakeByte());
  port.purgeBoth();
  clock.pause(kBulkPauseMs);
  port.purgeReceive();
  port.write(progAfterWake());
  readIdentity(port, identity);
  notify(identityArrived);
  port.write(modeLetter(ModeLetter::TakeBulk));
  port.purgeReceive();
  std::uint8_t answer = 0;
  return port.read(std::span(&answer, 1)) == 1;
}

}  // namespace rcp::link
