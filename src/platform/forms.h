// Window models: plain data that the program's logic writes and reads, and that a
// platform view (Qt widgets, or the scripted test operator) renders and feeds back.
// Only QtCore is used here; the widgets live in shell/qt.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace celvio {

// A colour as one number: red + 256 * green + 65536 * blue. Result cells carry their
// colour as part of the result, so the exact value matters (repeat-green is 1,255,0).
using Colour = qint32;
constexpr Colour Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }
inline constexpr Colour kBlack = Rgb(0, 0, 0);
inline constexpr Colour kGreen = Rgb(0, 255, 0);
inline constexpr Colour kRepeatGreen = Rgb(1, 255, 0);
inline constexpr Colour kRed = Rgb(255, 0, 0);
inline constexpr Colour kYellow = Rgb(255, 255, 0);

struct Label {
    QString Caption;
    bool Visible = true;
    Colour ForeColor = kBlack;
};

struct CommandButton {
    QString Caption;
    bool Visible = false;
    bool Enabled = true;
    bool TabStop = true;
    bool FontBold = false;
    int FontSize = 14;
};

struct ProgressBar {
    int Min = 0;
    int Max = 100;
    int Value = 0;
    Colour Color = kGreen;
    bool Visible = false;
};

struct TextBox {
    QString Text;
    QString Caption;  // the label shown beside the field, if any
    bool Visible = false;
    bool Enabled = true;
    int MaxLength = 0;  // 0: no limit
};

struct MenuItem {
    QString Caption;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
};

struct PictureBox {
    QString File;  // full path of the bitmap loaded, empty for none
};

enum class MousePointer { Normal, Hourglass };

// Keyboard focus requests: the view moves the focus when `serial` changes.
struct FocusRequest {
    int target = 0;  // 1..5 Command1..Command5, 11..16 Text1..Text6
    quint64 serial = 0;
};

// The main window.
struct Form1 {
    QString Caption = QStringLiteral("CELVIO");
    bool Visible = false;
    bool Maximized = false;
    Label Label1, Label3, Label4, Label5;
    PictureBox Picture1;
    CommandButton Command1, Command2, Command3, Command4, Command5;
    ProgressBar Progress;
    TextBox Text1, Text2, Text3, Text4, Text5, Text6;
    MenuItem Mnu_Exit{QStringLiteral("EXIT")};
    MenuItem Mnu_Coupler{QStringLiteral("COUPLER")};
    MenuItem Mnu_CoupOld{QStringLiteral("Coupler K530 ")};
    MenuItem Mnu_CoupNew{QStringLiteral("Coupler K580")};
    MenuItem Mnu_CoupSBox{QStringLiteral("Coupler K580 in Shieldbox III")};
    MenuItem Mnu_CoupSBoxK590{QStringLiteral("Coupler K580 in Shieldbox K590")};
    MenuItem Mnu_About{QStringLiteral("About")};
    MenuItem MStop{QStringLiteral("STOP")};
    MenuItem Mnu_Help{QStringLiteral("HELP")};
    MousePointer Pointer = MousePointer::Normal;
    FocusRequest Focus;

    CommandButton& Command(int n);
    TextBox& Text(int n);
    void SetFocus(int target);
};

// One result cell: a text and the colour that tells passed, repeated, failed or not tested.
struct Cell {
    QString Caption;
    Colour ForeColor = kYellow;

    bool operator==(const Cell&) const = default;
};

// A control array indexed 1..3 by the traffic channel column (index 0 unused).
using CellArray = std::array<Cell, 4>;

// The rows a result page has room for (the catalogue of quantities, record/quantities.h,
// says which rows there are and in which order).
inline constexpr int kPageRows = 16;

// One result page: the first band (Form3) or the second band of a dual-band phone (Form4).
// A view of the cycle's record (results/result_grid.h fills it).
struct ResultPage {
    QString Caption;
    bool Visible = false;
    bool Maximized = false;  // shown maximized (MAXIMIZE) rather than over the main window
    // Header rows. Version is the designer's Label16 (index 1): the program version that
    // the scan report prints.
    Label Title, Date, Time, Mobile, TesterSerial, Imei, Imsi, TesterModel, Firmware, Version;
    // The captions beside the header rows ("Date:", "Datum:", ...).
    Label DateName, TimeName, MobileName, TesterSerialName, ImeiName, ImsiName, TesterModelName, FirmwareName,
        VersionName;
    // Column headings: "TCH:" at index 0, the traffic channel numbers at 1..3.
    std::array<Label, 4> Channel;
    // By row of the catalogue: the row name, the limit text and the value cells, one per
    // traffic channel column (the designer's MSPower1..3 and Label51..57); a call row
    // (the calls, the dialled number, the speech loop-back) has its one cell in column 1.
    std::array<Label, kPageRows> RowName;
    std::array<Label, kPageRows> Limit;
    std::array<CellArray, kPageRows> Cells;
    CommandButton Command1, Command2, Command3;
    FocusRequest Focus;
};

// The trace window.
struct DebugFrm {
    QString Caption = QStringLiteral("DEBUG");
    bool Visible = false;
    QStringList DebugFeld;   // the trace buffer, one line per item
    int ListIndex = -1;      // selected item
    quint64 Generation = 0;  // grows whenever items are removed, so a view knows to rebuild
};

// The scan results window.
struct ScanFrm {
    QString Caption = QStringLiteral("Scan Results");
    bool Visible = false;
    QString Lbl1 = QStringLiteral("Blocked channels");
    QStringList List1;
    int Left = 10, Top = 10;
};

// The help window.
struct Form2 {
    QString Caption = QStringLiteral("CELVIO HELP");
    bool Visible = false;
    QString Title;
    QStringList List1;
};

// The unknown-phone dialog (modal).
struct Form5 {
    QString Caption = QStringLiteral("CELVIO Unknown phone");
    QString Label1;
    QStringList Phones;
    int Selected = -1;  // index into Phones, -1 when nothing is selected
};

}  // namespace celvio
