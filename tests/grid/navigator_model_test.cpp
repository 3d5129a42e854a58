#include "app/controls/navigator_model.h"

#include <gtest/gtest.h>

namespace ludaro::controls {
namespace {

using B = NavigatorButton;

TEST(NavigatorModelTest, MovingButtonsGoToTheirRowAndAreOffWhereTheyWouldNotMove) {
  struct Case {
    B button;
    std::size_t current;
    std::optional<std::size_t> target;
    bool enabled;
  };
  const NavigatorState base{true, 25, std::nullopt, false};
  for (const Case& c : {Case{B::First, 5, 0, true}, Case{B::First, 0, 0, false}, Case{B::Prior, 5, 4, true},
                        Case{B::Prior, 0, 0, false}, Case{B::PriorPage, 15, 5, true}, Case{B::PriorPage, 4, 0, true},
                        Case{B::Next, 5, 6, true}, Case{B::Next, 24, 24, false}, Case{B::NextPage, 5, 15, true},
                        Case{B::NextPage, 20, 24, true}, Case{B::Last, 5, 24, true}, Case{B::Last, 24, 24, false}}) {
    NavigatorState state = base;
    state.current = c.current;
    EXPECT_EQ(TargetRow(c.button, state), c.target) << HintOf(c.button).size() << " from " << c.current;
    EXPECT_EQ(IsEnabled(c.button, state), c.enabled) << static_cast<int>(c.button) << " from " << c.current;
  }
}

TEST(NavigatorModelTest, EditingButtonsFollowTheTableState) {
  struct Case {
    NavigatorState state;
    bool edit, post, cancel, remove, insert, next;
  };
  for (const Case& c : {
           Case{{true, 3, 1, false}, true, false, false, true, true, true},
           Case{{true, 3, 1, true}, false, true, true, true, true, true},
           Case{{true, 0, std::nullopt, false}, true, false, false, false, true, false},
           Case{{false, 0, std::nullopt, false}, false, false, false, false, false, false},
       }) {
    EXPECT_EQ(IsEnabled(B::Edit, c.state), c.edit);
    EXPECT_EQ(IsEnabled(B::Post, c.state), c.post);
    EXPECT_EQ(IsEnabled(B::Cancel, c.state), c.cancel);
    EXPECT_EQ(IsEnabled(B::Delete, c.state), c.remove);
    EXPECT_EQ(IsEnabled(B::Insert, c.state), c.insert);
    EXPECT_EQ(IsEnabled(B::Next, c.state), c.next);
  }
}

}  // namespace
}  // namespace ludaro::controls
