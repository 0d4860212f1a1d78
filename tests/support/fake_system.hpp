#pragma once

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/system_roots.hpp"

namespace rcp::test {

// A fake sysfs, /dev and /proc in a folder, laid out as the kernel and udev lay out the real ones:
// /sys/class/tty/<name> links to the terminal's class device under /sys/devices, whose "device"
// link leads to the port, interface or platform device; the USB device above it holds idVendor,
// idProduct, manufacturer, product and serial; udev's /dev/serial/by-id links lead to the device
// files.
class FakeSystem {
 public:
  explicit FakeSystem(std::filesystem::path root)
      : root_(std::move(root)), roots_{root_ / "sys", root_ / "dev", root_ / "proc"} {
    for (const auto& dir : {roots_.sys / "class" / "tty", roots_.dev, roots_.proc})
      std::filesystem::create_directories(dir);
  }

  const link::SystemRoots& roots() const { return roots_; }

  struct Usb {
    std::string name;  // "ttyUSB0" or "ttyACM0"
    std::string port;  // the USB port, "1-2"
    std::string vendorId, productId, manufacturer, product, serial;
    std::string driver;             // "ftdi_sio", "cdc_acm"
    std::string byId;               // the by-id link's name, or empty
    std::string latencyTimer = {};  // an FTDI adaptor's latency_timer ("16"), or empty for none
  };

  // A USB serial adaptor (its port device below the interface, as usb-serial drivers make it) or
  // an ACM modem (the terminal straight below the interface). The device file is created empty,
  // or as a link to `deviceFile` when given.
  void addUsb(const Usb& usb, const std::string& deviceFile = {}) {
    const auto usbDevice = roots_.sys / "devices/pci0000:00/0000:00:14.0/usb1" / usb.port;
    const auto interface = usbDevice / (usb.port + ":1.0");
    std::filesystem::create_directories(interface);
    write(usbDevice / "idVendor", usb.vendorId);
    write(usbDevice / "idProduct", usb.productId);
    if (!usb.manufacturer.empty()) write(usbDevice / "manufacturer", usb.manufacturer);
    if (!usb.product.empty()) write(usbDevice / "product", usb.product);
    if (!usb.serial.empty()) write(usbDevice / "serial", usb.serial);
    write(interface / "bInterfaceNumber", "00");
    const bool acm = usb.driver == "cdc_acm";
    std::filesystem::path device = interface;
    if (acm) {
      driverLink(interface, "usb", usb.driver);
    } else {
      driverLink(interface, "usb", usb.driver);
      device = interface / usb.name;
      std::filesystem::create_directories(device);
      driverLink(device, "usb-serial", usb.driver);
      if (!usb.latencyTimer.empty()) write(device / "latency_timer", usb.latencyTimer);
    }
    addTerminal(usb.name, device, {});
    addDeviceFile(usb.name, deviceFile);
    if (!usb.byId.empty()) {
      std::filesystem::create_directories(roots_.dev / "serial/by-id");
      std::filesystem::create_symlink("../../" + usb.name, roots_.dev / "serial/by-id" / usb.byId);
    }
  }

  // A port of the 8250 driver: with a real UART (type 4, 16550A) on the PNP bus, below its
  // serial-base controller and port as Linux 6.5 and later have them, or a phantom one (type 0)
  // on the serial8250 platform device.
  void addUart(const std::string& name, int type) {
    if (type == 0) {
      const auto device = roots_.sys / "devices/platform/serial8250";
      std::filesystem::create_directories(device);
      driverLink(device, "platform", "serial8250");
      addTerminal(name, device, "0");
    } else {
      const auto pnp = roots_.sys / "devices/pnp0" / ("00:0" + name.substr(4));
      const auto controller = pnp / (pnp.filename().string() + ":0");
      const auto port = controller / (controller.filename().string() + ".0");
      std::filesystem::create_directories(port);
      driverLink(pnp, "pnp", "serial");
      for (const auto& [dir, driver] : {std::pair{controller, "ctrl"}, std::pair{port, "port"}}) {
        driverLink(dir, "serial-base", driver);
        std::filesystem::create_symlink(
            std::filesystem::relative(roots_.sys / "bus/serial-base", dir), dir / "subsystem");
      }
      addTerminal(name, port, std::to_string(type));
    }
    addDeviceFile(name, {});
  }

  // A virtual terminal: no device behind it.
  void addVirtual(const std::string& name) {
    const auto dir = roots_.sys / "devices/virtual/tty" / name;
    std::filesystem::create_directories(dir);
    write(dir / "dev", "4:1");
    std::filesystem::create_symlink(std::filesystem::relative(dir, roots_.sys / "class/tty"),
                                    roots_.sys / "class/tty" / name);
  }

  // A process with its command name and descriptors open on the given files (links as the kernel
  // shows them, the target's name).
  void addProcess(long pid, const std::string& name, const std::vector<std::string>& open = {}) {
    const auto dir = roots_.proc / std::to_string(pid);
    std::filesystem::create_directories(dir / "fd");
    write(dir / "comm", name);
    int fd = 3;
    for (const std::string& file : open)
      std::filesystem::create_symlink(file, dir / "fd" / std::to_string(fd++));
  }

  // A flock held by `pid` on `file`, as /proc/locks shows it.
  void addLock(long pid, const std::filesystem::path& file) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    char line[128];
    std::snprintf(line, sizeof line, "%d: FLOCK  ADVISORY  WRITE %ld %02x:%02x:%llu 0 EOF\n",
                  ++locks_, pid, major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    std::ofstream(roots_.proc / "locks", std::ios::app) << line;
  }

 private:
  static void write(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file) << text << '\n';
  }

  void driverLink(const std::filesystem::path& device, const std::string& bus,
                  const std::string& driver) {
    const auto target = roots_.sys / "bus" / bus / "drivers" / driver;
    std::filesystem::create_directories(target);
    if (std::filesystem::is_symlink(device / "driver")) return;
    std::filesystem::create_symlink(std::filesystem::relative(target, device), device / "driver");
  }

  // The class device below `device` and its /sys/class/tty link.
  void addTerminal(const std::string& name, const std::filesystem::path& device,
                   const std::string& type) {
    const auto dir = device / "tty" / name;
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink(std::filesystem::relative(device, dir), dir / "device");
    write(dir / "dev", "188:0");
    if (!type.empty()) write(dir / "type", type);
    std::filesystem::create_symlink(std::filesystem::relative(dir, roots_.sys / "class/tty"),
                                    roots_.sys / "class/tty" / name);
  }

  void addDeviceFile(const std::string& name, const std::string& linkTo) {
    const auto file = roots_.dev / name;
    if (linkTo.empty())
      std::ofstream(file).flush();
    else
      std::filesystem::create_symlink(linkTo, file);
  }

  std::filesystem::path root_;
  link::SystemRoots roots_;
  int locks_ = 0;
};

}  // namespace rcp::test
