// The help window: the text of the current help topic.
#pragma once
namespace celvio {
struct App;
// Fills and shows the help window for the current help topic.
void ShowHelp(App& app);
}  // namespace celvio
