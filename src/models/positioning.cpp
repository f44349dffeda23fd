#include "models/positioning.h"

#include "core/app.h"
#include "core/events.h"
#include "core/files.h"
#include "core/station_names.h"
#include "core/helpers.h"
#include "core/line_reader.h"
#include "core/text.h"
#include "core/trace.h"

namespace celvio {

void ShowPositioningInstruction(App& app)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    const ModelRecord& model = app.Model;

    // The holders and positions are those of the K580 coupler; with the K530 the
    // model's own instruction and picture stand.
    if (st.CouplerLabel != QLatin1String("(K530)")) {
        st.UserInstruction = model.Holder.isEmpty()
                                 ? QString()
                                 : QStringLiteral("Use ") + model.Holder + QStringLiteral(" shuttle.") + kCrLf;
        if (NumericValue(model.Position) != 0) {
            st.UserInstruction += QStringLiteral("Position ") + model.Position + kCrLf;
            st.SpecialPicture = QStringLiteral("NK580") + model.Position + QStringLiteral(".bmp");
            if (!IsInsideStation(st.SpecialPicture) || !FileExists(app, st.SpecialPicture)) {
                TraceLine(app, QStringLiteral("Picture >") + st.SpecialPicture + QStringLiteral("< not found."));
                st.SpecialPicture.clear();
            }
        }
    }
    if (st.UserInstruction.isEmpty() && st.SpecialPicture.isEmpty())
        return;

    SetHelpTopic(app, HelpTopic::Instruction);
    if (!st.SpecialPicture.isEmpty()) {
        ShowPicture(app, st.SpecialPicture);
        st.UserInstruction += kCrLf + QStringLiteral("Check phone position as shown.");
    } else {
        ShowPicture(app, st.PhonePicture.isEmpty() ? QStringLiteral("Zoredudi.BMP") : st.PhonePicture);
    }
    f.Label4.Caption = QStringLiteral("User Instruction");
    f.Label4.Visible = true;
    f.Label3.Caption = st.UserInstruction + kCrLf;
    f.Label3.Visible = true;

    st.Command1Pressed = kFalse;
    f.Command1.Caption = QStringLiteral("&Done");
    f.Command1.Visible = true;
    f.Command1.Enabled = true;
    f.SetFocus(1);
    while (st.Command1Pressed != kTrue && st.StopRequested != kTrue)
        WaitEvents(app);
    TraceButton(app, QStringLiteral("User DONE"));
    f.Command1.Visible = false;
    st.Command1Pressed = kFalse;
    if (st.StopRequested != kTrue) {
        f.Label4.Caption.clear();
        f.Label3.Caption.clear();
    }
}

}  // namespace celvio
