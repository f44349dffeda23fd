#pragma once
namespace celvio {
struct App;
// The channel scan: 1 one scan, 2 continuous. Returns 1 while it is to be repeated.
int RunScan(App& app, int mode);
}  // namespace celvio
