#include "app/controls/navigator_model.h"

namespace ludaro::controls {

std::vector<NavigatorButton> StandardNavigatorButtons() {
  return {NavigatorButton::First, NavigatorButton::Prior,  NavigatorButton::Next, NavigatorButton::Last,
          NavigatorButton::Insert, NavigatorButton::Delete, NavigatorButton::Edit, NavigatorButton::Post,
          NavigatorButton::Cancel, NavigatorButton::Refresh};
}

std::u16string HintOf(NavigatorButton button) {
  switch (button) {
    case NavigatorButton::First: return u"Move to first record";
    case NavigatorButton::PriorPage: return u"Move backward 10 records";
    case NavigatorButton::Prior: return u"Move to prior record";
    case NavigatorButton::Next: return u"Move to next record";
    case NavigatorButton::NextPage: return u"Move forward 10 records";
    case NavigatorButton::Last: return u"Move to last record";
    case NavigatorButton::Insert: return u"Insert new record";
    case NavigatorButton::Delete: return u"Delete current record";
    case NavigatorButton::Edit: return u"Edit current record";
    case NavigatorButton::Post: return u"Post changes of current record";
    case NavigatorButton::Cancel: return u"Cancel changes made to current record";
    case NavigatorButton::Refresh: return u"Refresh the contents of the dataset";
  }
  return {};
}

std::optional<std::size_t> TargetRow(NavigatorButton button, const NavigatorState& state) {
  if (!state.active || state.rowCount == 0) return std::nullopt;
  const std::size_t last = state.rowCount - 1;
  const std::size_t at = state.current.value_or(0);
  switch (button) {
    case NavigatorButton::First: return 0;
    case NavigatorButton::PriorPage: return at > kNavigatorPageRows ? at - kNavigatorPageRows : 0;
    case NavigatorButton::Prior: return at > 0 ? at - 1 : 0;
    case NavigatorButton::Next: return at < last ? at + 1 : last;
    case NavigatorButton::NextPage: return last - at > kNavigatorPageRows ? at + kNavigatorPageRows : last;
    case NavigatorButton::Last: return last;
    default: return std::nullopt;
  }
}

bool IsEnabled(NavigatorButton button, const NavigatorState& state) {
  if (!state.active) return false;
  switch (button) {
    case NavigatorButton::First:
    case NavigatorButton::PriorPage:
    case NavigatorButton::Prior:
    case NavigatorButton::Next:
    case NavigatorButton::NextPage:
    case NavigatorButton::Last: {
      const auto target = TargetRow(button, state);
      return target && (!state.current || *target != *state.current);
    }
    case NavigatorButton::Delete: return state.rowCount > 0;
    case NavigatorButton::Edit: return !state.editing;
    case NavigatorButton::Post:
    case NavigatorButton::Cancel: return state.editing;
    case NavigatorButton::Insert:
    case NavigatorButton::Refresh: return true;
  }
  return false;
}

}  // namespace ludaro::controls
