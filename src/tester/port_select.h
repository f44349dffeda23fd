// The port question: the operator chooses COM1 or COM2, and the tester is checked there.
#pragma once
namespace celvio {
struct App;
// Asks for COM1 or COM2 until a tester answers on the chosen port; records it in
// TesterPort.
void SelectTesterPort(App& app);
}  // namespace celvio
