#include "ports/port_doctor.hpp"

#include <string>

namespace rcp::link {

std::string holdersText(const std::vector<PortHolder>& holders) {
  std::string text;
  for (const PortHolder& holder : holders) {
    if (!text.empty()) text += "、";
    text += holder.name + "（进程号 " + std::to_string(holder.pid) + "）";
  }
  return text;
}

namespace {

std::string reasonText(const PortDiagnosis& d) {
  if (!d.advice.empty()) return d.advice;
  const std::string& device = d.device;
  switch (d.kind) {
    case PortProblemKind::None:
      return device + " 现在可以打开，请再试一次。";
    case PortProblemKind::Missing:
      return "设备 " + device + " 不存在，请检查数据线是否插好。";
    case PortProblemKind::NotSerial:
      return device + " 不是串口设备。";
    case PortProblemKind::Permission:
      if (!d.access.groupMayOpen)
        return "没有打开 " + device + " 的权限：该设备属于 " + d.access.group +
               " 组，但只有其所有者可以读写它。";
      return "没有打开 " + device + " 的权限：该设备属于 " + d.access.group +
             " 组，请运行 sudo adduser $USER " + d.access.group + "，然后重新登录。";
    case PortProblemKind::Held:
      return device + " 正被另一个程序占用：" + holdersText(d.holders) + "。";
    case PortProblemKind::ModemManager:
      return holdersText(d.holders) + "正在探测 " + device +
             "，请稍等片刻再试，或运行 sudo systemctl stop ModemManager。";
    case PortProblemKind::Busy:
      return device + " 正被另一个程序独占使用（无法查明是哪个程序）。";
    case PortProblemKind::Failed:
      return "打开 " + device + " 失败：" + d.error + "。";
  }
  return {};
}

}  // namespace

std::string problemText(const PortDiagnosis& d) {
  std::string text = reasonText(d);
  if (d.latency) text += *d.latency;
  return text;
}

}  // namespace rcp::link
