#include "bench/harness_report.h"

#include <memory>

namespace pelmora::bench {
namespace {

double overPercent(double ms, double lineMs) { return lineMs > 0 ? 100.0 * (ms / lineMs - 1.0) : 0; }

std::string format(const char* fmt, auto... args) {
  char text[512];
  std::snprintf(text, sizeof text, fmt, args...);
  return text;
}

std::string phasesText(const TimedResult& r) {
  std::string text = "runs begun ";
  for (std::size_t i = 0; i < r.timeoutPhasesMs.size(); ++i)
    text += format(i == 0 ? "%.0f" : ", %.0f", r.timeoutPhasesMs[i]);
  return text + " ms after a handshake tick";
}

std::string targetText(const TimedResult& r) {
  if (r.medianRatioLimit > 0)
    return format("median <= line + %.0f %%, p95 <= line + %.0f %%", 100 * (r.medianRatioLimit - 1),
                  100 * (r.p95RatioLimit - 1));
  if (r.p95LimitMs > 0) return format("p95 <= %.0f ms", r.p95LimitMs);
  return "none (waits 500 ms between checks by design)";
}

std::string resultText(const TimedResult& r) {
  if (r.ms.count == 0) return format("no run ended (%zu failed)", r.failures);
  // Against a long exchange the excess over the line matters; against a short one, the multiple.
  std::string text =
      r.medianRatioLimit > 0
          ? format("median %.0f ms (line %+.1f %%), p95 %.0f ms (line %+.1f %%)", r.ms.median,
                   overPercent(r.ms.median, r.lineMs), r.ms.p95, overPercent(r.ms.p95, r.lineMs))
          : format("median %.0f ms (%.1f x line), p95 %.0f ms (%.1f x line)", r.ms.median, r.ms.median / r.lineMs,
                   r.ms.p95, r.ms.p95 / r.lineMs);
  if (!r.floorWhy.empty())
    text += format("; floor by design %.0f ms (%s): median %+.0f ms above it", r.floorMs, r.floorWhy.c_str(),
                   r.ms.median - r.floorMs);
  if (r.failures > 0) text += format("; %zu runs never ended", r.failures);
  if (r.timeouts > 0) text += format("; %zu \"Send command time out!\" (%s)", r.timeouts, phasesText(r).c_str());
  return text;
}

std::string metText(const TimedResult& r) {
  if (r.medianRatioLimit == 0 && r.p95LimitMs == 0) return "-";
  return r.met() ? "yes" : "**no**";
}

std::string idleText(const IdleResult& r) {
  std::string text = format("%.3f %% of a core (%.0f ms CPU per minute), %.1f wake-ups/s, RSS %.1f MB",
                            r.percent(), 60000.0 * r.cpuSeconds / r.seconds, r.wakeupsPerSecond,
                            static_cast<double>(r.rssKb) / 1024.0);
  if (r.timeouts > 0) text += format("; %zu \"Send command time out!\"", r.timeouts);
  return text;
}

}  // namespace

bool TimedResult::met() const {
  if (ms.count == 0 || failures > 0) return false;
  if (medianRatioLimit > 0 && (ms.median > lineMs * medianRatioLimit || ms.p95 > lineMs * p95RatioLimit)) return false;
  if (p95LimitMs > 0 && ms.p95 > p95LimitMs) return false;
  return true;
}

void printTimed(const TimedResult& r) {
  std::printf("%s: %zu runs, %s = %.1f ms of line\n", r.name.c_str(), r.runs, r.bytes.c_str(), r.lineMs);
  if (r.ms.count > 0)
    std::printf("  median %8.1f ms  (%.3f x line)\n  p95    %8.1f ms  (%.3f x line)\n  min    %8.1f ms, max %.1f ms\n",
                r.ms.median, r.ms.median / r.lineMs, r.ms.p95, r.ms.p95 / r.lineMs, r.ms.min, r.ms.max);
  if (!r.floorWhy.empty()) std::printf("  floor by design %.1f ms: %s\n", r.floorMs, r.floorWhy.c_str());
  std::printf("  target: %s -> %s\n", targetText(r).c_str(), metText(r).c_str());
  if (r.failures > 0) std::printf("  %zu runs never ended\n", r.failures);
  if (r.timeouts > 0)
    std::printf("  %zu \"Send command time out!\" during the runs, in %s\n", r.timeouts, phasesText(r).c_str());
  std::fflush(stdout);
}

void printIdle(const IdleResult& r) {
  std::printf("%s: over %.0f s: %s -> %s\n", r.name.c_str(), r.seconds, idleText(r).c_str(),
              r.met() ? "under 0.5 % of a core" : "ABOVE 0.5 % of a core");
  std::fflush(stdout);
}

bool appendTableRows(const std::string& path, const std::vector<TimedResult>& timed,
                     const std::vector<IdleResult>& idle) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "a"), &std::fclose);
  if (!out) return false;
  for (const TimedResult& r : timed)
    std::fprintf(out.get(), "| %s (%zu runs; %s = %.0f ms of line) | %s | %s | %s |\n", r.name.c_str(), r.runs,
                 r.bytes.c_str(), r.lineMs, resultText(r).c_str(), targetText(r).c_str(), metText(r).c_str());
  for (const IdleResult& r : idle)
    std::fprintf(out.get(), "| %s (over %.0f s) | %s | < 0.5 %% of one core | %s |\n", r.name.c_str(), r.seconds,
                 idleText(r).c_str(), r.met() ? "yes" : "**no**");
  return true;
}

}  // namespace pelmora::bench
