#pragma once

#include <array>
#include <cstdint>

// The nineteen MPT 1327 message counts and timers, declared once: the radio keeps each in one
// byte of the bulk block, the window shows each as a spin field captioned with its own name, the
// data file keeps it under that name and "还原默认值" puts its start value back. The window
// layout, the field registry, the memory map and the restore button are derived from this table.
namespace rcp::ui {

// Which group box of the user page shows a counter; the data file keeps the timers first.
enum class CounterGroup { MessageCounts, Timers };

struct CounterDef {
  const char* name;       // field, spin field and data-file key
  std::uint16_t address;  // its byte in the radio's memory
  CounterGroup group;
  int min;
  int max;
  int step;
  int start;         // the start value, also what an open gives a file without the key
  const char* hint;  // the explanation the caption's hint shows
};

// In address order, which is also the order "还原默认值" restores them.
inline constexpr auto kCounters = [] {
  using G = CounterGroup;
  constexpr G N = G::MessageCounts;
  constexpr G T = G::Timers;
  return std::to_array<CounterDef>({
      {"ND1", 0x0C8, N, 0, 31, 1, 2, "个别被呼叫无线单元发出的非连接消息个数"},
      {"ND2", 0x0C9, N, 0, 31, 1, 4, "主叫单元发出的非连接消息个数"},
      {"NE", 0x0CA, N, 0, 31, 1, 16, "RQE的最多随机接续次数"},
      {"NI", 0x0CB, N, 0, 31, 1, 4, "RQS或RQX的话务信道传输的最大次数"},
      {"NR", 0x0CC, N, 0, 31, 1, 8, "RQS,RQD,RQX,RQT,RQR,RQQ或RQC的最大接续次数"},
      {"NT", 0x0CD, N, 1, 12, 1, 1, "TSC对话务信道上无线单元发出的非请求消息应答时的最大延迟"},
      {"NW", 0x0CE, N, 0, 60, 1, 4, "在工作开始时的WAIT值"},
      {"TA", 0x0CF, T, 10, 120, 10, 60, "收到AHY后对被叫的限时"},
      {"TB", 0x0D0, T, 0, 60, 1, 2,
       "收到ACK,ACKX,ACKV或ACKB(QUAL=0)能呼叫同一识别码,或收到ACKT(QUAL=0)"
       "能对任何单元进行转移的时间限制"},
      {"TC", 0x0D1, T, 0, 120, 10, 60, "无线单元尝试随机接续的限时"},
      {"TI", 0x0D2, T, 0, 60, 1, 2, "尝试包容呼叫接续时,无线单元等待进一步信令的限时"},
      {"TJ", 0x0D3, T, 0, 60, 10, 20, "在控制信道上等待TSC处理时,无线单元等待进一步信令的限时"},
      {"TN", 0x0D4, T, 0, 10, 1, 7, "在话务信道上无线单元无动作限时"},
      {"TP", 0x0D5, T, 0, 60, 1, 5, "工作开始时,周期发送消息的最大间隔"},
      {"TS", 0x0D6, T, 0, 10, 1, 5, "如果译不出系统识别码,无线单元返回控制信道捕获过程的时间"},
      {"TT", 0x0D7, T, 0, 60, 10, 60, "话音通信一次发射的最大持续时间"},
      {"TW", 0x0D8, T, 0, 120, 10, 60,
       "由于等待处理,等待话务信道安排,或等待被呼叫方空闲而进行的排队等,"
       "无线单元需要等待进一步信令的限时"},
      {"NPON", 0x0D9, N, 0, 7, 1, 1, "PTT键按下时发的消息数"},
      {"NPOFF", 0x0DA, N, 0, 7, 1, 1, "PTT键松开时发的消息数"},
  });
}();

}  // namespace rcp::ui
