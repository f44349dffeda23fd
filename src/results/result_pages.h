#pragma once
namespace celvio {
struct App;
// Buttons of the result pages and closing a page by its frame.
void Form3_Command1Click(App& app);
void Form3_Command2Click(App& app);
void Form4_Command1Click(App& app);
void Form4_Command2Click(App& app);
void Form4_Command3Click(App& app);
void ResultPage_CloseRequest(App& app);
}  // namespace celvio
