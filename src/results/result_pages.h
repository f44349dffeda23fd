#pragma once
namespace celvio {
struct App;

// The rows of a result page, as indexes of its RowName and Limit label arrays.
enum ResultRow {
    kRowTxPower1,  // MSPower1 .. MSPower3: one row per power slot
    kRowTxPower2,
    kRowTxPower3,
    kRowPhaseRms,    // Label51
    kRowPhasePeak,   // Label52
    kRowFrequency,   // Label53
    kRowBurstLength, // Label54
    kRowTemplate,    // Label55
    kRowRxLevel,     // Label56
    kRowRxQuality,   // Label57
    kRowMobileOriginatedCall,
    kRowDialledNumber,
    kRowBaseOriginatedCall,
    kRowSpeechLoopback,
    kRowCount
};

// Buttons of the result pages (closing a page by its frame is the quit question).
void Form3_Command1Click(App& app);
void Form3_Command2Click(App& app);
void Form4_Command1Click(App& app);
void Form4_Command2Click(App& app);
void Form4_Command3Click(App& app);
}  // namespace celvio
