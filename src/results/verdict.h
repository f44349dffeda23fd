#pragma once
namespace celvio {
struct App;
// Fills both result pages with titles, row names, limits and the initial cells.
void SetUpResultPages(App& app);
// The verdict screen at the end of a TEST cycle.
void VerdictScreen(App& app, int verdict);
}  // namespace celvio
