// The soak's listener.
#include "tests/soak/soak_listener.h"

#include "cadencehost/vel_query.h"
#include "tests/soak/soak_population.h"

namespace cadence::soak {

const char* roleName(ListenerRole role) {
  switch (role) {
    case ListenerRole::anchor: return "anchor";
    case ListenerRole::plain: return "plain";
    case ListenerRole::selfRemover: return "self-remover";
    case ListenerRole::adder: return "adder";
    case ListenerRole::siblingRemover: return "sibling-remover";
    case ListenerRole::crossAdder: return "cross-adder";
    case ListenerRole::timerRemover: return "timer-remover";
    case ListenerRole::texter: return "texter";
  }
  return "?";
}

SoakListener::SoakListener(SoakPopulation& population, std::shared_ptr<SoakTimer> timer, ListenerRole role,
                           const PassPosition& now)
    : population_(population), timer_(std::move(timer)), role_(role), registration_(timer_->expiries, key(), now) {
  timer_->listeners.push_back(this);
  if (role_ == ListenerRole::anchor) timer_->anchor = this;
}

SoakListener::~SoakListener() { population_.leaving(*this); }

void SoakListener::alert() { population_.alerted(*this); }

void SoakListener::queryInterface(const char* name, void* target) {
  velAnswerQuery<Velmora::ITimerListener>(this, "SoakListener", name, target);
}

}  // namespace cadence::soak
