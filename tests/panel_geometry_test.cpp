// The page tests' copy of the panel's geometry (tests/web/panel_geometry.mjs)
// against the one that the C++ tests take from the drawing's own numbers:
// the centre of every editable entry, as node computes it from the module.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "panel_geometry.h"

TEST(PanelGeometry, PageTestsFindEveryEntryWhereTheDrawingPutsIt) {
    const std::string command =
        std::string(OSTRIVANE_NODE) +
        " -e \"import('" OSTRIVANE_PANEL_GEOMETRY_MJS
        "').then(({ entryCentre }) => { for (const r of [0, 1]) for (const c of [0, 1, 2])"
        " console.log(...entryCentre(c, r)); })\"";
    FILE *node = popen(command.c_str(), "r");
    ASSERT_NE(node, nullptr) << command;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            double x = 0.0;
            double y = 0.0;
            ASSERT_EQ(std::fscanf(node, "%lf %lf", &x, &y), 2) << "entry (" << column << ", " << row << ")";
            EXPECT_EQ(x, cells::centreX(column)) << "entry (" << column << ", " << row << ")";
            EXPECT_EQ(y, cells::centreY(row)) << "entry (" << column << ", " << row << ")";
        }
    }
    EXPECT_EQ(pclose(node), 0) << command;
}
