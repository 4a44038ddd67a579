#pragma once
// Platform lookups that answer whatever a test sets, and count how often they were asked.
#include <atomic>
#include <optional>
#include <string>

#include "snapshot/loading.h"

namespace korvel::testing {

class FakeLookups final : public PlatformLookups {
 public:
  std::optional<std::filesystem::path> group;
  std::filesystem::path home = "/home/ana";
  std::optional<BundleValue> channel;

  mutable std::atomic<int> calls{0};
  mutable std::string askedGroup;

  std::optional<std::filesystem::path> groupContainer(std::string_view id) const override {
    ++calls;
    askedGroup = std::string(id);
    return group;
  }
  std::filesystem::path homeFolder() const override {
    ++calls;
    return home;
  }
  std::optional<BundleValue> bundleValue(std::string_view key) const override {
    ++calls;
    return key == "KorvelChannel" ? channel : std::nullopt;
  }
};

}  // namespace korvel::testing
