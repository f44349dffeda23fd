<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Celvio</name>
    <message>
        <source>Select mode</source>
        <translation>Wähle Mode</translation>
    </message>
    <message>
        <source>Scanning for used Channels</source>
        <translation>Scannen auf belegte Kanäle</translation>
    </message>
    <message>
        <source>Select system</source>
        <translation>Wähle System</translation>
    </message>
    <message>
        <source>Test Your Mobile phone!</source>
        <translation>Prüfen Sie Ihr Handy!</translation>
    </message>
    <message>
        <source>Select the system for the new phone</source>
        <translation>Welches System hat das neue Handy ?</translation>
    </message>
    <message>
        <source>Select the system to be tested:</source>
        <translation>Welches System wollen Sie testen?</translation>
    </message>
    <message>
        <source>&amp;Continue</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Ausdruck</translation>
    </message>
    <message>
        <source>CELVIO - TEST REPORT</source>
        <translation>CELVIO - TESTBERICHT</translation>
    </message>
    <message>
        <source>TEST REPORT</source>
        <translation>TESTBERICHT</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Zeit:</translation>
    </message>
    <message>
        <source>Mobile:</source>
        <translation>Telefon:</translation>
    </message>
    <message>
        <source>Ser.No.:</source>
        <translation>Ser.Nr.:</translation>
    </message>
    <message>
        <source>IMEI:</source>
        <translation>IMEI:</translation>
    </message>
    <message>
        <source>IMSI:</source>
        <translation>IMSI:</translation>
    </message>
    <message>
        <source>Tester:</source>
        <translation>Tester:</translation>
    </message>
    <message>
        <source>Firmware:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>Celvio:</source>
        <translation>Celvio:</translation>
    </message>
    <message>
        <source>IMEI Input</source>
        <translation>IMEI eingeben</translation>
    </message>
    <message>
        <source>Test Failed!</source>
        <translation>Test nicht bestanden!</translation>
    </message>
    <message>
        <source>Please enter the IMEI Number of the old phone:</source>
        <translation>Bitte geben Sie die IMEI Nummer des alten Handys ein:</translation>
    </message>
    <message>
        <source>Please enter the IMEI Number of the new phone:</source>
        <translation>Bitte geben Sie die IMEI Nummer des neuen Handys ein:</translation>
    </message>
    <message>
        <source>Please enter the IMEI Number of the phone:</source>
        <translation>Bitte geben Sie die IMEI Nummer des Handys ein:</translation>
    </message>
    <message>
        <source>Test Passed!</source>
        <translation>Test bestanden</translation>
    </message>
    <message>
        <source>Test Aborted!</source>
        <translation>Test abgebrochen!</translation>
    </message>
    <message>
        <source>&amp;Test Report</source>
        <translation>&amp;Testbericht</translation>
    </message>
    <message>
        <source>&amp;New test</source>
        <translation>&amp;Neuer Test</translation>
    </message>
    <message>
        <source>Test Report</source>
        <translation>Test Bericht</translation>
    </message>
    <message>
        <source>&amp;More</source>
        <translation>&amp;Mehr</translation>
    </message>
    <message>
        <source>Reseting...</source>
        <translation>Zurücksetzen...</translation>
    </message>
    <message>
        <source>Please wait!</source>
        <translation>Bitte warten!</translation>
    </message>
    <message>
        <source>Setup Serial Port</source>
        <translation>Serielle Schnittstelle vorbereiten</translation>
    </message>
    <message>
        <source>Checking COM Port...</source>
        <translation>Teste Schnittstelle...</translation>
    </message>
    <message>
        <source>This COM port is already used!
Please select an other one.</source>
        <translation>Dieser COM Port wird schon benutzt!
Bitte wählen Sie einen anderen.</translation>
    </message>
    <message>
        <source>COM port might be not connected
or the tester is switched off!
Please switch on the tester and
check settings of serial port.</source>
        <translation>Keine serielle Verbindung
oder Tester ausgeschaltet!
Bitte schalten Sie den Tester ein
und prüfen Sie die Einstellungen.</translation>
    </message>
    <message>
        <source>This COM port is not connected to a Dalvora Tester!
Please connect the tester to the PC
and select the right COM port.</source>
        <translation>Dieser COM Port ist nicht mit dem Tester verbunden!
Bitte verbinden Sie beide Geräte
und wählen Sie den richtigen COM Port.</translation>
    </message>
    <message>
        <source>No connection to tester</source>
        <translation>Keine Verbindung zum Tester</translation>
    </message>
    <message>
        <source>Please enter the Club Zavar number:</source>
        <translation>Bitte geben Sie die Club Zavar Nummer ein:</translation>
    </message>
    <message>
        <source>New IMEI not read!</source>
        <translation>Neue IMEI nicht gelesen!</translation>
    </message>
    <message>
        <source>Try once more?</source>
        <translation>Nochmal probieren?</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No, enter IMEI</source>
        <translation>&amp;Nein, IMEI eingeben</translation>
    </message>
    <message>
        <source>Swap phone!</source>
        <translation>Swap Handy!</translation>
    </message>
    <message>
        <source>Do you really want to give the customer another type of phone?</source>
        <translation>Möchten Sie dem Kunden wirklich einen anderen Handytyp geben?</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>Insert new phone instead of defective phone!</source>
        <translation>Ersetzen Sie das defekte Handy mit einem neuen!</translation>
    </message>
    <message>
        <source>Do you want to SWAP the phone?</source>
        <translation>Möchten Sie das Handy tauschen?</translation>
    </message>
    <message>
        <source>&amp;SWAP</source>
        <translation>&amp;Tauschen</translation>
    </message>
    <message>
        <source>&amp;Don&apos;t SWAP</source>
        <translation>&amp;Nicht tauschen</translation>
    </message>
    <message>
        <source>Identifying Phone...</source>
        <translation>Erkennung des Telefons...</translation>
    </message>
    <message>
        <source>Audio Test</source>
        <translation>Audio Test</translation>
    </message>
    <message>
        <source>Please take your mobile phone</source>
        <translation>Bitte nehmen Sie Ihr Telefon</translation>
    </message>
    <message>
        <source>and speak some words</source>
        <translation>und sprechen Sie einige Wörter</translation>
    </message>
    <message>
        <source>to the microphone</source>
        <translation>in das Mikrophon.</translation>
    </message>
    <message>
        <source>Can you hear an echo?</source>
        <translation>Hören Sie ein Echo?</translation>
    </message>
    <message>
        <source>Microphone / Speaker Test: Passed</source>
        <translation>Mikrofon / Lautsprecher: Bestanden</translation>
    </message>
    <message>
        <source>Passed</source>
        <translation>Bestanden</translation>
    </message>
    <message>
        <source>Microphone / Speaker Test: Failed</source>
        <translation>Mikrofon / Lautsprecher: Fehler</translation>
    </message>
    <message>
        <source>&amp;Done</source>
        <translation>&amp;Fertig</translation>
    </message>
    <message>
        <source>Receiver Test: Failed</source>
        <translation>Empfängertest: Fehler</translation>
    </message>
    <message>
        <source>Testing Key Pad</source>
        <translation>Tastaturtest</translation>
    </message>
    <message>
        <source>Dial the number </source>
        <translation>Wählen Sie die Nummer </translation>
    </message>
    <message>
        <source>with your mobile telephone,</source>
        <translation>an Ihrem Telefon und drücken</translation>
    </message>
    <message>
        <source>and press the &apos;Send&apos; key</source>
        <translation>Sie dann auf die Sendetaste.</translation>
    </message>
    <message>
        <source>SWAP mobile phone</source>
        <translation>Tausche Handy</translation>
    </message>
    <message>
        <source>Please dial number 123</source>
        <comment>swap</comment>
        <translation>Bitte wählen Sie eine Nummer</translation>
    </message>
    <message>
        <source>on the swapped phone</source>
        <translation>auf dem neuen Handy und drücken</translation>
    </message>
    <message>
        <source>Please dial number 123</source>
        <comment>scan</comment>
        <translation>Bitte wählen Sie Nummer 123</translation>
    </message>
    <message>
        <source>Keypad Test: Passed</source>
        <translation>Tastaturtest: Bestanden</translation>
    </message>
    <message>
        <source>Keypad Test: Failed</source>
        <translation>Tastaturtest: Fehler</translation>
    </message>
    <message>
        <source>Keypad Test: Failed </source>
        <translation>Tastaturtest: Fehler</translation>
    </message>
    <message>
        <source>Testing Call Receive</source>
        <translation>Teste eingehenden Ruf</translation>
    </message>
    <message>
        <source>Answer the call when</source>
        <translation>Nehmen sie den Ruf an,</translation>
    </message>
    <message>
        <source>the phone is ringing.</source>
        <translation>wenn das Telefon klingelt.</translation>
    </message>
    <message>
        <source>These settings in CELVIO.INI cannot be used:</source>
        <translation>Diese Einstellungen in CELVIO.INI sind nicht verwendbar:</translation>
    </message>
    <message>
        <source>ignored</source>
        <translation>ignoriert</translation>
    </message>
    <message>
        <source>used: </source>
        <translation>verwendet: </translation>
    </message>
    <message>
        <source>Please correct the file.</source>
        <translation>Bitte korrigieren Sie die Datei.</translation>
    </message>
    <message>
        <source>TEST : Test a phone.
SCAN : Scan channels.
SWAP : Exchange phone.</source>
        <translation>TEST : Teste ein Handy.
SCAN : Untersuche Kanäle.
SWAP : Tausche Handy.</translation>
    </message>
    <message>
        <source>&amp;TEST</source>
        <translation>&amp;TEST</translation>
    </message>
    <message>
        <source>&amp;SCAN</source>
        <translation>&amp;SCAN</translation>
    </message>
    <message>
        <source>Scanning Channels!</source>
        <translation>Scanne Kanäle!</translation>
    </message>
    <message>
        <source>Choose Scan Mode</source>
        <translation>Wählen Sie den Scan-Modus</translation>
    </message>
    <message>
        <source>&amp;One Scan</source>
        <translation>&amp;Einzel Scan</translation>
    </message>
    <message>
        <source>&amp;Continuous</source>
        <translation>&amp;Kontinuierlich</translation>
    </message>
    <message>
        <source>&amp;Search more</source>
        <translation>&amp;Suche weitere</translation>
    </message>
    <message>
        <source>&amp;Clear + search</source>
        <translation>&amp;Neue Suche</translation>
    </message>
    <message>
        <source>Network connection failed!
Retry ?</source>
        <translation>Netzwerkverbindung fehlgeschlagen!
Wiederholen ?</translation>
    </message>
    <message>
        <source>Network Search</source>
        <translation>Netzsuche</translation>
    </message>
    <message>
        <source>Network search failed!
Retry ?</source>
        <translation>Netz Suche fehlgeschlagen!
Wiederholen ?</translation>
    </message>
    <message>
        <source>
Congratulations!
Your mobile phone is perfectly ok.

Please switch it off now. </source>
        <translation>
Gratulation!
Ihr Telefon funktioniert perfekt.

Bitte schalten Sie es jetzt aus. </translation>
    </message>
    <message>
        <source>
Your mobile phone didn&apos;t pass all tests!
Please switch it off and
try again or go to the service desk.</source>
        <translation>
Während des Tests sind Fehler aufgetreten.
Bitte schalten Sie das Telefon aus
und versuchen es noch einmal oder
begeben Sie sich zum Service-Schalter.</translation>
    </message>
    <message>
        <source>A basic function didn&apos;t work in test!
Please switch off your phone and
try again or go to the service desk.

</source>
        <translation>Eine Grundfunktion war nicht möglich!
Bitte schalten Sie das Telefon aus
und versuchen es noch einmal oder
begeben Sie sich zum Service-Schalter.
</translation>
    </message>
    <message>
        <source>Please switch 7703S on and
select from 7703S setup menu :
Baudrate  : %1
RxTx lines: Normal
Protocol  : X-On/X-Off 

Which serial port will you use?</source>
        <translation>Bitte schalten Sie den Tester ein und
setzen Sie die Baudrate auf %1 Bd,
RXTX-Leitungen normal, X-on/X-off.

Welche serielle Schnittstelle wählen Sie?</translation>
    </message>
    <message>
        <source>Please enter the
Club Zavar Service Point ID 
and all other fields.

Each field must be filled out.</source>
        <translation>Bitte geben Sie die
Club Zavar Service Point ID ein:</translation>
    </message>
    <message>
        <source>Licensed for use at ZAVAR service points only.</source>
        <translation>Nur zur Verwendung in ZAVAR Servicestellen lizenziert.</translation>
    </message>
    <message>
        <source>Copying, resale or modification only with written permission.</source>
        <translation>Weitergabe, Verkauf oder Änderung nur mit schriftlicher Genehmigung.</translation>
    </message>
    <message>
        <source>The measurements serve the service; they are no warranty.</source>
        <translation>Die Messergebnisse dienen dem Service; sie sind keine Gewährleistung.</translation>
    </message>
    <message>
        <source>Limits</source>
        <translation>Grenzwerte</translation>
    </message>
    <message>
        <source>The phone model data is incomplete:</source>
        <translation>Die Telefondaten sind unvollständig:</translation>
    </message>
    <message>
        <source>The measurements may be inaccurate.</source>
        <translation>Die Messungen sind eventuell ungenau.</translation>
    </message>
    <message>
        <source>File %1 not accessible !</source>
        <translation>Datei %1 nicht verfügbar !</translation>
    </message>
    <message>
        <source>File scan.log cannot be written.</source>
        <translation>Datei scan.log kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The scan goes on, the list BADCHAN.DAT is saved.</source>
        <translation>Der Scan läuft weiter, die Liste BADCHAN.DAT wird gespeichert.</translation>
    </message>
    <message>
        <source>Unreadable answer of the tester on channel %1: &quot;%2&quot;</source>
        <translation>Unlesbare Antwort des Testers auf Kanal %1: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>The scan ends; the channels found so far are saved.</source>
        <translation>Der Scan endet; die gefundenen Kanäle werden gespeichert.</translation>
    </message>
    <message>
        <source>Keypad Test: Not Tested</source>
        <translation>Tastaturtest: Nicht getestet</translation>
    </message>
    <message>
        <source>Transmitter Test: Not Tested</source>
        <translation>Sendertest: Nicht getestet</translation>
    </message>
    <message>
        <source>Receiver Test: Not Tested</source>
        <translation>Empfängertest: Nicht getestet</translation>
    </message>
    <message>
        <source>Microphone / Speaker Test: Not Tested</source>
        <translation>Mikrofon / Lautsprecher: Nicht getestet</translation>
    </message>
    <message>
        <source>Transmitter Test: Passed</source>
        <translation>Sendertest: Bestanden</translation>
    </message>
    <message>
        <source>Receiver Test: Passed</source>
        <translation>Empfängertest: Bestanden</translation>
    </message>
    <message>
        <source>TRAINING - simulated tester</source>
        <translation>SCHULUNG - simulierter Tester</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Serial port of the tester</source>
        <translation>Serielle Schnittstelle des Testers</translation>
    </message>
    <message>
        <source>No serial device found.
Please connect the tester&apos;s cable to the PC.</source>
        <translation>Keine serielle Schnittstelle gefunden.
Bitte verbinden Sie das Kabel des Testers mit dem PC.</translation>
    </message>
    <message>
        <source>Which device is the tester connected to? It becomes COM%1.</source>
        <translation>An welcher Schnittstelle ist der Tester angeschlossen? Sie wird COM%1.</translation>
    </message>
    <message>
        <source>&amp;Port...</source>
        <translation>&amp;Schnittstelle...</translation>
    </message>
</context>
</TS>
