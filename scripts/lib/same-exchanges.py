"""Whether a radio saw the same exchanges from two runs of the tool (the Linux build's and the
Windows build's under Wine), from the virtual radio's two traces:
  same-exchanges.py LABEL LINUX_TRACE WINE_TRACE [LINUX_STARTS WINE_STARTS]
Every run of bytes in one direction must be equal and in the same order. With the two files of
trace line numbers at which a command started (one a line), the pause before each exchange
within a command must also be within ALLOWANCE_MS of the other's: the tool's own timing. Without
them (a person's keys set the pace) only the bytes are compared. Messages start with LABEL."""
import sys

ALLOWANCE_MS = 150


def exchanges(path, starts_path):
    """(time of the first byte, direction, bytes, whether a command starts there) of each run
    of bytes in one direction."""
    starts = {int(n) for n in open(starts_path).read().split()} if starts_path else set()
    runs = []
    for number, line in enumerate(open(path, encoding="utf-8")):
        parts = line.split()
        if len(parts) < 2 or parts[1] not in "<>":
            continue
        ms, direction, data = int(parts[0]), parts[1], "".join(parts[2:])
        if runs and runs[-1][1] == direction and number not in starts:
            runs[-1][2] += data
        else:
            runs.append([ms, direction, data, number in starts])
    return runs


label = sys.argv[1]
timed = len(sys.argv) > 5
linux = exchanges(sys.argv[2], sys.argv[4] if timed else None)
wine = exchanges(sys.argv[3], sys.argv[5] if timed else None)
problems = []
if [run[1:3] for run in linux] != [run[1:3] for run in wine]:
    for i, (a, b) in enumerate(zip(linux, wine)):
        if a[1:3] != b[1:3]:
            problems.append(f"exchange {i}: Linux {a[1]} {a[2][:80]} / Wine {b[1]} {b[2][:80]}")
            break
    if not problems:
        problems.append(f"{len(linux)} exchanges on Linux, {len(wine)} under Wine")
elif timed:
    for i in range(1, len(linux)):
        if linux[i][3] or wine[i][3]:
            continue
        gap_linux = linux[i][0] - linux[i - 1][0]
        gap_wine = wine[i][0] - wine[i - 1][0]
        if abs(gap_linux - gap_wine) > ALLOWANCE_MS:
            problems.append(f"pause before exchange {i}: {gap_linux} ms on Linux, {gap_wine} ms under Wine")
for problem in problems[:20]:
    print(f"{label}:", problem, file=sys.stderr)
if problems:
    sys.exit(1)
byte_count = sum(len(run[2]) // 2 for run in linux)
pauses = f", every pause within a command within {ALLOWANCE_MS} ms" if timed else ""
print(f"{label}: the radio saw the same {len(linux)} exchanges ({byte_count} bytes) "
      f"from both builds{pauses}")
