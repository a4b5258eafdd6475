#include "Surface.h"

#include <gtest/gtest.h>

#include "foundation/Bundle.h"

namespace {

using namespace tessivarium;

TEST(Surface, TableHasOneRowPerIdInIdOrder) {
  const auto& all = AllSurfaces();
  ASSERT_EQ(all.size(), 14u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(all[i]->id()), i);
    EXPECT_EQ(Surface::FindSurface(all[i]->id()), all[i]);
    EXPECT_TRUE(all[i]->iconFile().empty());
  }
}

TEST(Surface, FirstAndLastRowsKeepTheirHostVisibleStrings) {
  const auto flat = Surface::FindSurface(SurfaceId::Flat);
  ASSERT_TRUE(flat);
  EXPECT_EQ(flat->category(), SurfaceCategory::All);
  EXPECT_EQ(flat->label(), "No Tissue");
  EXPECT_TRUE(flat->mapFile().empty() && flat->directory().empty());

  const auto rough = Surface::FindSurface(SurfaceId::PaperRough901b);
  ASSERT_TRUE(rough);
  EXPECT_EQ(rough->name(), "Paper Rough 901b");
  EXPECT_EQ(rough->mapFile(), "paper_rough90lb_512x512");
  EXPECT_EQ(rough->directory(), "Surface/Pager");
  EXPECT_EQ(Surface::FindSurface(SurfaceId::PaperColdPress300lb)->name(), "Paper CouldPress 300lb");
}

TEST(Surface, EveryMapFileIsAResourceAndTwoRowsUseTheirNameAsMap) {
  int namedAfterThemselves = 0;
  for (const auto& surface : AllSurfaces()) {
    if (surface->id() == SurfaceId::Flat) continue;
    EXPECT_EQ(surface->category() == SurfaceCategory::Canvas,
              surface->directory() == "Surface/Canvas");
    EXPECT_TRUE(foundation::Bundle::main().pathForResource(surface->mapFile(), "png"))
        << surface->mapFile();
    namedAfterThemselves += surface->mapFile() == surface->name();
  }
  EXPECT_EQ(namedAfterThemselves, 2);
}

}  // namespace
