// The buttons of the two result pages (closing a page by its frame is the quit
// question). The print buttons print the record the pages show.
#pragma once

namespace celvio {

struct App;
struct CycleRecord;

void Form3_Command1Click(App& app);
void Form3_Command2Click(App& app, const CycleRecord& record);
void Form4_Command1Click(App& app);
void Form4_Command2Click(App& app);
void Form4_Command3Click(App& app, const CycleRecord& record);

}  // namespace celvio
