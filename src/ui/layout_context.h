#pragma once
// State of one layout pass: interned environments, the measurement caches, the output list.
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/display_list.h"
#include "ui/environment.h"
#include "ui/layout.h"
#include "ui/limits.h"
#include "ui/node.h"
#include "ui/text_measurer.h"

namespace korvel::ui {

class LayoutContext {
 public:
  LayoutContext(const TextMeasurer& measurer, DisplayList* out, LayoutStats* stats,
                const Environment& root);

  EnvId rootEnv() const { return 0; }
  const Environment& env(EnvId id) const { return envs_[id]; }
  EnvId intern(const Environment& env);

  // Cached per (node, environment, proposal). Proposals are sanitised, answers clamped.
  Measured measure(const Node& node, EnvId env, Proposal p);
  void place(const Node& node, EnvId env, Proposal p, Point origin);

  // Cached per request within the pass.
  const TextMetrics& measureText(const TextRequest& request);
  LineMetrics lineMetrics(double size, Weight weight, Design design) const {
    return measurer_.lineMetrics(size, weight, design);
  }

  // Appends an op with the environment's accent and opacity applied and every length clamped.
  void emit(Op op, EnvId env);
  bool drawing() const { return out_ != nullptr; }

  // Views built during the pass (geometry readers) live until the pass ends, so node
  // addresses used as cache keys stay unique.
  void keepAlive(std::shared_ptr<const Node> node) { alive_.push_back(std::move(node)); }

  static Proposal sanitize(Proposal p);

 private:
  struct MeasureKey {
    const Node* node;
    EnvId env;
    double w, h;  // NaN = unset
    bool operator==(const MeasureKey& o) const;
  };
  struct MeasureKeyHash {
    std::size_t operator()(const MeasureKey& k) const;
  };
  struct EnvHash {
    std::size_t operator()(const Environment& e) const { return hashEnvironment(e); }
  };

  const TextMeasurer& measurer_;
  DisplayList* out_;
  LayoutStats* stats_;
  std::deque<Environment> envs_;
  std::unordered_map<Environment, EnvId, EnvHash> envIds_;
  std::unordered_map<MeasureKey, Measured, MeasureKeyHash> measures_;
  std::unordered_map<std::string, TextMetrics> texts_;
  std::unordered_map<std::string, bool> textsSeen_;
  std::vector<std::shared_ptr<const Node>> alive_;
};

}  // namespace korvel::ui
