#pragma once

// What the fuzz targets share: a check that ends the run with a report, a document file held in
// memory, feedback that records what the user would have seen, and layout values drawn with a
// bias towards the edges of 32 bits.

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/UserFeedback.h"

/// Stops the run with a report when `condition` does not hold: libFuzzer keeps the input.
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::zandrel::fuzz::CheckFailed(#condition, __FILE__, __LINE__))

namespace zandrel::fuzz {

[[noreturn]] inline void CheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

/// A file that lives in memory only, reachable through a path like any document file.
class MemoryFile {
public:
    MemoryFile() {
        fd_ = ::memfd_create("zandrel-fuzz", 0);
        if (fd_ < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& path() const { return path_; }

    /// Makes the file hold exactly these bytes.
    void assign(const uint8_t* data, size_t size) {
        if (::ftruncate(fd_, 0) != 0) std::abort();
        size_t done = 0;
        while (done < size) {
            const ssize_t put = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (put <= 0) std::abort();
            done += static_cast<size_t>(put);
        }
    }
    void assign(std::string_view text) { assign(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }

private:
    int fd_ = -1;
    std::string path_;
};

/// Feedback that shows nothing and remembers everything; questions are answered Yes.
class RecordingFeedback : public UserFeedback {
public:
    struct Message {
        std::string text;
        std::string caption;
    };
    std::vector<Message> messages;
    std::vector<std::string> captions;
    int questions = 0;

    void message(std::string_view text, std::string_view caption) override {
        messages.push_back({std::string(text), std::string(caption)});
    }
    bool askYesNo(std::string_view, std::string_view) override {
        ++questions;
        return true;
    }
    void setCaption(std::string_view caption) override { captions.emplace_back(caption); }

    int count(std::string_view text, std::string_view caption) const {
        int n = 0;
        for (const Message& m : messages) n += m.text == text && m.caption == caption;
        return n;
    }
};

/// A signed 32-bit value where the edges are common: 0, ±1, small numbers, the usual layout
/// values, powers of two and the extremes, besides any value at all.
inline int32_t EdgyInt32(FuzzedDataProvider& in) {
    static constexpr int32_t kEdges[] = {0,           1,       -1,         2,       -2,      3,
                                         4,           5,       11,         32,      1024,    65536,
                                         -65536,      1 << 30, -(1 << 30), INT_MAX, INT_MIN, INT_MAX - 1,
                                         INT_MIN + 1, 46341,   -46341,     0x7FFF,  0x8000,  1000000000};
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return in.PickValueInArray(kEdges);
        case 1:
            return in.ConsumeIntegralInRange<int32_t>(-8, 8);
        case 2:
            return in.ConsumeIntegralInRange<int32_t>(-64, 1100);
        default:
            return in.ConsumeIntegral<int32_t>();
    }
}

/// A zoom in percent: mostly usual ones, sometimes 0, negative, tiny, huge or not a number.
inline double EdgyZoom(FuzzedDataProvider& in) {
    static constexpr double kZooms[] = {
        100, 200, 50, 33.333333333333336, 400, 12.5, 150, 1e-300, 0, -100, 1e300, 3.0e9, -0.0};
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            return in.ConsumeFloatingPoint<double>();
        case 1:
            return in.ConsumeFloatingPointInRange<double>(1, 1000);
        case 2:
            return __builtin_nan("");
        case 3:
            return __builtin_inf();
        default:
            return in.PickValueInArray(kZooms);
    }
}

}  // namespace zandrel::fuzz
