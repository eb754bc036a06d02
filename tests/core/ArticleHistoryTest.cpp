#include <gtest/gtest.h>

#include "dictionary/uArticleHistory.h"

TEST(ArticleHistory, WalksBackAndForward) {
  TArticleHistory history;
  EXPECT_FALSE(history.CanBack());
  EXPECT_EQ(history.Back(), -1);
  for (int32_t index : {5, 7, 9}) history.Add(index);
  EXPECT_EQ(history.Items(), (std::vector<int32_t>{5, 7, 9}));
  EXPECT_EQ(history.Forward(), -1);
  EXPECT_EQ(history.Position(), 2);
  EXPECT_EQ(history.Back(), 7);
  // Near the position nothing is recorded again.
  for (int32_t index : {5, 7, 9}) history.Add(index);
  EXPECT_EQ(history.Items(), (std::vector<int32_t>{5, 7, 9}));
  EXPECT_EQ(history.Position(), 1);
  EXPECT_EQ(history.Back(), 5);
  EXPECT_FALSE(history.CanBack());
  EXPECT_EQ(history.Back(), -1);
  // A new article goes in after the position; the later ones stay.
  history.Add(3);
  EXPECT_EQ(history.Items(), (std::vector<int32_t>{5, 3, 7, 9}));
  EXPECT_EQ(history.Position(), 1);
  EXPECT_EQ(history.Forward(), 7);
  history.Clear();
  history.Add(4);
  history.Add(4);
  EXPECT_EQ(history.Items(), (std::vector<int32_t>{4}));
}
