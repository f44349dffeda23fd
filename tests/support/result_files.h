// Result files written by hand, shared by the tests that check the program writes them
// byte for byte, the kill loop over the result-file writer and the tests that read them
// back into the history index. Lines end in "|" (see HandWritten), so trailing blanks
// stay visible.
#pragma once

namespace celvio::testing {

// A passed single-band GSM 900 test of an English counter PC (month/day order).
inline constexpr char kPassedGsmFile[] = R"(
TEST REPORT - CELVIO : 2.02|
Date: 12/7/26 Time: 10:04:09|
|
OVERALL TEST RESULT: Passed|
|
Dalvora MOBILE TESTER  : 7703S          Serial Number: 100123|
       Firmware Version: V3.10|
MOBILE TELEPHONE       : Orvane Q7        Cellular System: GSM900|
    IMEI: 351234000000017    IMSI: 001010123456789|
|
Customer fault description: ----|
|
TEST ENVIRONMENT:|
  Mobile Connected Via : Dalvora Antenna Coupler (K580)|
|
      Broadcast Channel: 30 |
         BS Power Level: -60 dBm|
|
Call From Mobile       : Passed|
Dialled Number         : 0123           ( 0123 )|
Call From Base Station : Passed|
Speech Loopback        : Passed|
|
Traffic Channel        :  20 |
TX Power 5 (33 dBm)    :  33.2          ( 31 - 35 dBm )|
RX Level (50)          :  49            ( 47 -  53 )|
RX Quality             :  0             ( 0 - 2 )|
|
Traffic Channel        :  62 |
TX Power 5 (33 dBm)    :  33.0          ( 31 - 35 dBm )|
|
Traffic Channel        :  100 |
TX Power 5 (33 dBm)    :  32.9          ( 31 - 35 dBm )|
TX Power 15 (13 dBm)   :  13.4          ( 11 - 15 dBm )|
Phase Error RMS        :  1.8           ( 0 - 5 deg )|
Phase Error Peak       :  6.5           ( 0 - 20 deg )|
Frequency Error        :  -23           ( +/- 90 Hz )|
Burst Length           :  553           ( 552 - 554 µsec )|
Power-Time Template    :  Passed        |
RX Level (50)          :  50            ( 47 -  53 )|
RX Quality             :  0             ( 0 - 2 )|
)";

// A failed dual-band test of a German counter PC: marks "*" and "!", a fault text
// longer than one line of 50 characters.
inline constexpr char kFailedDualBandGermanFile[] = R"(
TEST REPORT - CELVIO : 2.02|
Date: 07.12.26              Time: 14:35:02|
|
OVERALL TEST RESULT: Failed|
|
Dalvora MOBILE TESTER  : 7703S          Serial Number: 100123|
       Firmware Version: V3.10|
MOBILE TELEPHONE       : Orvane Q7        Cellular System: GSM900,1800|
    IMEI: 351234570543215    IMSI: 001010123456789|
|
Customer fault description: |
Display flickers when the phone rings and then die|
s|
|
TEST ENVIRONMENT:|
  Mobile Connected Via : Dalvora Antenna Coupler (K530)|
|
      Broadcast Channel: 30 |
         BS Power Level: -60 dBm|
|
Call From Mobile       : Passed|
Dialled Number         : * 0124         ( 0123 )|
Call From Base Station : Passed|
Speech Loopback        : Passed|
|
Traffic Channel        :  20 |
MS Leistung 5 (33 dBm) : ! 33.8         ( 31 - 35 dBm )|
RX Pegel (50)          :  49            ( 47 -  53 )|
RX Qualität            :  0             ( 0 - 2 )|
|
Traffic Channel        :  62 |
MS Leistung 5 (33 dBm) :  33.1          ( 31 - 35 dBm )|
|
Traffic Channel        :  100 |
MS Leistung 5 (33 dBm) :  33.0          ( 31 - 35 dBm )|
MS Leistung 15 (13 dBm): * 16.2         ( 11 - 15 dBm )|
Phasenfehler           :  1.2           ( 0 - 5 Grad )|
Phasenfehler Spitze    :  4.9           ( 0 - 20 Grad )|
Frequenzfehler         :  12            ( +/- 90 Hz )|
Burst Länge            :  553           ( 552 - 554 µsek )|
Leistungs-Zeit-Maske   :  Passed        |
RX Pegel (50)          : * 40           ( 47 -  53 )|
RX Qualität            :  1             ( 0 - 2 )|
|
Traffic Channel        :  512 |
MS Leistung 0 (30 dBm) :  30.1          ( 28 - 32 dBm )|
RX Pegel (50)          :  50            ( 47 -  53 )|
RX Qualität            :  0             ( 0 - 2 )|
|
Traffic Channel        :  698 |
MS Leistung 0 (30 dBm) :  29.8          ( 28 - 32 dBm )|
|
Traffic Channel        :  884 |
MS Leistung 0 (30 dBm) :  30.2          ( 28 - 32 dBm )|
MS Leistung 10 (10 dBm):  10.4          ( 8 - 12 dBm )|
Phasenfehler           :  2.0           ( 0 - 5 Grad )|
Phasenfehler Spitze    :  7.5           ( 0 - 20 Grad )|
Frequenzfehler         : * -190         ( +/- 180 Hz )|
Burst Länge            :  553           ( 552 - 554 µsek )|
Leistungs-Zeit-Maske   : * Template failed|
                                        |
RX Pegel (50)          :  51            ( 47 -  53 )|
RX Qualität            :  0             ( 0 - 2 )|
)";

// A phone swapped on the spot without a test: 351234000000017 exchanged for
// 351234000000025.
inline constexpr char kSwappedWithoutTestFile[] = R"(
TEST REPORT - CELVIO : 2.02|
Date: 12/7/26 Time: 10:04:09|
|
Mobile phone not tested. Swapped direct.|
|
Dalvora MOBILE TESTER  : 7703S          Serial Number: 100123|
       Firmware Version: V3.10|
|
OLD MOBILE IMEI: 351234000000017|
NEW MOBILE IMEI: 351234000000025|
|
Swap comment :|
----|
)";

}  // namespace celvio::testing
