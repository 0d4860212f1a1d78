#include "gui/desktop.hpp"

int main(int argc, char** argv) {
  return rcp::gui::runDesktop(argc, argv);
}
