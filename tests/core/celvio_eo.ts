<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A pseudo-translation for the tests: a language that is only this file. A few of
     the program's texts, marked and accented so that they are seen to come from here. -->
<TS version="2.1" language="eo">
<context>
    <name>Celvio</name>
    <message>
        <source>Select mode</source>
        <translation>[Śéléçt möðé]</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>[&amp;Ýéš]</translation>
    </message>
    <message>
        <source>File %1 not accessible !</source>
        <translation>[Fîlé %1 ñöţ áççéššîblé !]</translation>
    </message>
    <message>
        <source>Please dial number 123</source>
        <comment>scan</comment>
        <translation>[Þléåšé ðîål 123]</translation>
    </message>
    <message>
        <source>These settings in CELVIO.INI cannot be used:</source>
        <translation>[Ţĥéšé šéţţîñĝš îñ CELVIO.INI çåññöţ bé ûšéð:]</translation>
    </message>
</context>
</TS>
