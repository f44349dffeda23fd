#include "platform/forms.h"

namespace celvio {

CommandButton& Form1::Command(int n)
{
    switch (n) {
    case 1: return Command1;
    case 2: return Command2;
    case 3: return Command3;
    case 4: return Command4;
    default: return Command5;
    }
}

TextBox& Form1::Text(int n)
{
    switch (n) {
    case 1: return Text1;
    case 2: return Text2;
    case 3: return Text3;
    case 4: return Text4;
    case 5: return Text5;
    default: return Text6;
    }
}

void Form1::SetFocus(int target)
{
    Focus.target = target;
    ++Focus.serial;
}

}  // namespace celvio
