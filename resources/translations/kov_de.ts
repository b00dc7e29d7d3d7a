<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Calendar</name>
    <message>
        <source>KOV Due Dates</source>
        <translation>KOV – Fälligkeiten</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Last done on %1.</source>
        <translation>Zuletzt erledigt am %1.</translation>
    </message>
</context>
<context>
    <name>CostTab</name>
    <message>
        <source>Select Maintenance</source>
        <translation>Wartung auswählen</translation>
    </message>
    <message>
        <source>&amp;Property:</source>
        <translation>&amp;Immobilie:</translation>
    </message>
    <message>
        <source>Tas&amp;k:</source>
        <translation>Auf&amp;gabe:</translation>
    </message>
    <message>
        <source>Fr&amp;om:</source>
        <translation>&amp;Von:</translation>
    </message>
    <message>
        <source>MMM d, yyyy</source>
        <translation>d. MMM yyyy</translation>
    </message>
    <message>
        <source>Pick a date</source>
        <translation>Datum wählen</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>&amp;To:</source>
        <translation>&amp;Bis:</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>An&amp;zeigen</translation>
    </message>
    <message>
        <source>Costs</source>
        <translation>Kosten</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Summe</translation>
    </message>
    <message>
        <source>Monthly average</source>
        <translation>Monatlicher Durchschnitt</translation>
    </message>
    <message>
        <source>P&amp;arts:</source>
        <translation>&amp;Material:</translation>
    </message>
    <message>
        <source>La&amp;bor:</source>
        <translation>&amp;Arbeit:</translation>
    </message>
    <message>
        <source>Ta&amp;x:</source>
        <translation>&amp;Steuer:</translation>
    </message>
    <message>
        <source>Tota&amp;l cost:</source>
        <translation>Gesamt&amp;kosten:</translation>
    </message>
</context>
<context>
    <name>DatePopup</name>
    <message>
        <source>Pick a Date</source>
        <translation>Datum wählen</translation>
    </message>
</context>
<context>
    <name>DueTab</name>
    <message>
        <source>Select Maintenance</source>
        <translation>Wartung auswählen</translation>
    </message>
    <message>
        <source>&amp;Property:</source>
        <translation>&amp;Immobilie:</translation>
    </message>
    <message>
        <source>Tas&amp;k:</source>
        <translation>Auf&amp;gabe:</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>&amp;Latest per task</source>
        <translation>&amp;Letzte je Aufgabe</translation>
    </message>
    <message>
        <source>&amp;All records</source>
        <translation>&amp;Alle Einträge</translation>
    </message>
    <message>
        <source>&amp;Overdue only</source>
        <translation>Nur &amp;überfällige</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>An&amp;zeigen</translation>
    </message>
    <message>
        <source>When each task is next due</source>
        <translation>Wann jede Aufgabe wieder fällig ist</translation>
    </message>
</context>
<context>
    <name>Feedback</name>
    <message>
        <source>No program on this computer opened the web page.</source>
        <translation>Kein Programm auf diesem Computer hat die Webseite geöffnet.</translation>
    </message>
    <message>
        <source>No file manager on this computer opened the folder.</source>
        <translation>Kein Dateimanager auf diesem Computer hat den Ordner geöffnet.</translation>
    </message>
    <message>
        <source>No program on this computer opened the document.</source>
        <translation>Kein Programm auf diesem Computer hat das Dokument geöffnet.</translation>
    </message>
    <message>
        <source>You find it at %1</source>
        <translation>Sie finden es unter %1</translation>
    </message>
    <message>
        <source>Folder: %1</source>
        <translation>Ordner: %1</translation>
    </message>
    <message>
        <source>No program for PDF documents opened them here; open them from that folder.</source>
        <translation>Kein Programm für PDF-Dokumente hat sie hier geöffnet; öffnen Sie sie aus diesem Ordner.</translation>
    </message>
    <message>
        <source>KOV saved the report as a PDF document.</source>
        <translation>KOV hat den Bericht als PDF-Dokument gespeichert.</translation>
    </message>
    <message>
        <source>KOV saved the reports as PDF documents.</source>
        <translation>KOV hat die Berichte als PDF-Dokumente gespeichert.</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Keeps track of the upkeep of your houses and other real estate.</source>
        <translation>Behält die Instandhaltung Ihrer Häuser und Grundstücke im Blick.</translation>
    </message>
    <message>
        <source>Data folder: %1</source>
        <translation>Datenordner: %1</translation>
    </message>
    <message>
        <source>Licence: %1</source>
        <translation>Lizenz: %1</translation>
    </message>
    <message>
        <source>KOV %1</source>
        <translation>KOV %1</translation>
    </message>
    <message>
        <source>Show Data Folder</source>
        <translation>Datenordner zeigen</translation>
    </message>
</context>
<context>
    <name>KOV</name>
    <message>
        <source>Use Checkboxes to select reports</source>
        <translation>Wählen Sie Berichte mit den Kästchen aus</translation>
    </message>
    <message>
        <source>No Reports Selected</source>
        <translation>Keine Berichte ausgewählt</translation>
    </message>
    <message>
        <source>Adjusting the selection criteria might help.</source>
        <translation>Eine andere Auswahl könnte helfen.</translation>
    </message>
    <message>
        <source>For one or more reports, no qualifying property maintenance found based on selection criteria</source>
        <translation>Für einen oder mehrere Berichte wurde zur Auswahl keine passende Wartung gefunden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Not a date: “%1”</source>
        <translation>Kein Datum: „%1“</translation>
    </message>
</context>
<context>
    <name>KOVAppDelegate</name>
    <message>
        <source>A new version of KOV (</source>
        <translation>Eine neue Version von KOV (</translation>
    </message>
    <message>
        <source>) is available.</source>
        <translation>) ist verfügbar.</translation>
    </message>
    <message>
        <source>This version of KOV (</source>
        <translation>Diese Version von KOV (</translation>
    </message>
    <message>
        <source>) is the current version.</source>
        <translation>) ist die aktuelle Version.</translation>
    </message>
</context>
<context>
    <name>LogTab</name>
    <message>
        <source>New Maintenance</source>
        <translation>Neue Wartung</translation>
    </message>
    <message>
        <source>Prop&amp;erty:</source>
        <translation>&amp;Immobilie:</translation>
    </message>
    <message>
        <source>Pro&amp;vider:</source>
        <translation>&amp;Dienstleister:</translation>
    </message>
    <message>
        <source>&amp;Task:</source>
        <translation>&amp;Aufgabe:</translation>
    </message>
    <message>
        <source>Serv&amp;ice date:</source>
        <translation>Ser&amp;vicedatum:</translation>
    </message>
    <message>
        <source>MMM d, yyyy</source>
        <translation>d. MMM yyyy</translation>
    </message>
    <message>
        <source>Pick a date</source>
        <translation>Datum wählen</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>Parts c&amp;ost:</source>
        <translation>&amp;Materialkosten:</translation>
    </message>
    <message>
        <source>0.00</source>
        <translation>0,00</translation>
    </message>
    <message>
        <source>La&amp;bor cost:</source>
        <translation>Ar&amp;beitskosten:</translation>
    </message>
    <message>
        <source>Ta&amp;x:</source>
        <translation>&amp;Steuer:</translation>
    </message>
    <message>
        <source>Total cost:</source>
        <translation>Gesamtkosten:</translation>
    </message>
    <message>
        <source>Parts + labor + tax</source>
        <translation>Material + Arbeit + Steuer</translation>
    </message>
    <message>
        <source>Drag an image or PDF of the receipt here.
Click to view the receipt.</source>
        <translation>Ziehen Sie ein Bild oder PDF des Belegs hierher.
Klicken Sie, um den Beleg anzusehen.</translation>
    </message>
    <message>
        <source>Receipt</source>
        <translation>Beleg</translation>
    </message>
    <message>
        <source>Drop
receipt
here</source>
        <translation>Beleg
hier
ablegen</translation>
    </message>
    <message>
        <source>Remove the receipt</source>
        <translation>Beleg entfernen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>&amp;Note:</source>
        <translation>N&amp;otiz:</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Chan&amp;ge</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Show Maintenance</source>
        <translation>Wartung anzeigen</translation>
    </message>
    <message>
        <source>Propert&amp;y:</source>
        <translation>Immobili&amp;e:</translation>
    </message>
    <message>
        <source>Tas&amp;k:</source>
        <translation>Auf&amp;gabe:</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>Bis:</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>An&amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>Dr&amp;ucken…</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KOV</source>
        <translation>KOV</translation>
    </message>
    <message>
        <source>Display Count: 0</source>
        <translation>Angezeigt: 0</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Show Data Files in File Manager</source>
        <translation>Datendateien im Dateimanager &amp;zeigen</translation>
    </message>
    <message>
        <source>Check for &amp;New Version…</source>
        <translation>Auf &amp;neue Version prüfen…</translation>
    </message>
    <message>
        <source>KOV &amp;Web Page</source>
        <translation>KOV-&amp;Webseite</translation>
    </message>
    <message>
        <source>&amp;About KOV</source>
        <translation>Über &amp;KOV</translation>
    </message>
</context>
<context>
    <name>PropertySheet</name>
    <message>
        <source>Properties</source>
        <translation>Immobilien</translation>
    </message>
    <message>
        <source>Na&amp;me:</source>
        <translation>Na&amp;me:</translation>
    </message>
    <message>
        <source>Add&amp;ress:</source>
        <translation>Ad&amp;resse:</translation>
    </message>
    <message>
        <source>Cit&amp;y:</source>
        <translation>&amp;Ort:</translation>
    </message>
    <message>
        <source>&amp;State:</source>
        <translation>&amp;Bundesland:</translation>
    </message>
    <message>
        <source>&amp;ZIP / postal code:</source>
        <translation>&amp;Postleitzahl:</translation>
    </message>
    <message>
        <source>L&amp;ot size:</source>
        <translation>&amp;Grundstücksgröße:</translation>
    </message>
    <message>
        <source>&amp;Interior size:</source>
        <translation>&amp;Wohnfläche:</translation>
    </message>
    <message>
        <source>Date &amp;built:</source>
        <translation>&amp;Baujahr:</translation>
    </message>
    <message>
        <source>MMM d, yyyy</source>
        <translation>d. MMM yyyy</translation>
    </message>
    <message>
        <source>Pick a date</source>
        <translation>Datum wählen</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>Ac&amp;quired by:</source>
        <translation>Erworben &amp;durch:</translation>
    </message>
    <message>
        <source>Purchase</source>
        <translation>Kauf</translation>
    </message>
    <message>
        <source>Inheritance</source>
        <translation>Erbschaft</translation>
    </message>
    <message>
        <source>Gift</source>
        <translation>Schenkung</translation>
    </message>
    <message>
        <source>Built</source>
        <translation>Selbst gebaut</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Anderes</translation>
    </message>
    <message>
        <source>P&amp;urchase price:</source>
        <translation>&amp;Kaufpreis:</translation>
    </message>
    <message>
        <source>0.00</source>
        <translation>0,00</translation>
    </message>
    <message>
        <source>Dat&amp;e acquired:</source>
        <translation>Erworben &amp;am:</translation>
    </message>
    <message>
        <source>Sale &amp;price:</source>
        <translation>&amp;Verkaufspreis:</translation>
    </message>
    <message>
        <source>&amp;Date sold:</source>
        <translation>Verkau&amp;ft am:</translation>
    </message>
    <message>
        <source>S&amp;tatus:</source>
        <translation>S&amp;tatus:</translation>
    </message>
    <message>
        <source>Primary residence</source>
        <translation>Hauptwohnsitz</translation>
    </message>
    <message>
        <source>Second home</source>
        <translation>Zweitwohnung</translation>
    </message>
    <message>
        <source>Rental</source>
        <translation>Vermietet</translation>
    </message>
    <message>
        <source>Vacant</source>
        <translation>Leerstehend</translation>
    </message>
    <message>
        <source>For sale</source>
        <translation>Zum Verkauf</translation>
    </message>
    <message>
        <source>Sold</source>
        <translation>Verkauft</translation>
    </message>
    <message>
        <source>&amp;Note:</source>
        <translation>N&amp;otiz:</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>C&amp;hange</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Property list</source>
        <translation>Immobilienliste</translation>
    </message>
</context>
<context>
    <name>ProviderSheet</name>
    <message>
        <source>Service Providers</source>
        <translation>Dienstleister</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>A&amp;ddress:</source>
        <translation>A&amp;dresse:</translation>
    </message>
    <message>
        <source>&amp;Phone:</source>
        <translation>&amp;Telefon:</translation>
    </message>
    <message>
        <source>&amp;E-mail:</source>
        <translation>&amp;E-Mail:</translation>
    </message>
    <message>
        <source>&amp;Web page:</source>
        <translation>&amp;Webseite:</translation>
    </message>
    <message>
        <source>N&amp;ote:</source>
        <translation>N&amp;otiz:</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>C&amp;hange</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Provider list</source>
        <translation>Dienstleisterliste</translation>
    </message>
</context>
<context>
    <name>ReceiptPopup</name>
    <message>
        <source>Receipt</source>
        <translation>Beleg</translation>
    </message>
    <message>
        <source>Drag an image or PDF of the receipt here</source>
        <translation>Ziehen Sie ein Bild oder PDF des Belegs hierher</translation>
    </message>
    <message>
        <source>Choose an image or PDF of the receipt</source>
        <translation>Ein Bild oder PDF des Belegs wählen</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Open the receipt in the desktop&apos;s viewer</source>
        <translation>Den Beleg im Standardbetrachter des Desktops öffnen</translation>
    </message>
    <message>
        <source>Open in Viewer</source>
        <translation>Im Betrachter öffnen</translation>
    </message>
</context>
<context>
    <name>RecordCheck</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weiterer</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Reports</name>
    <message>
        <source>Property</source>
        <translation>Immobilie</translation>
    </message>
    <message>
        <source>Service Task</source>
        <translation>Wartungsaufgabe</translation>
    </message>
    <message>
        <source>Service Date</source>
        <translation>Servicedatum</translation>
    </message>
    <message>
        <source>Service Cost</source>
        <translation>Servicekosten</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Dienstleister</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Postal Code</source>
        <translation>Postleitzahl</translation>
    </message>
    <message>
        <source>Year Built</source>
        <translation>Baujahr</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Task Name</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Task Interval Time</source>
        <translation>Wiederholungsintervall</translation>
    </message>
</context>
<context>
    <name>ReportsTab</name>
    <message>
        <source>Select Maintenance</source>
        <translation>Wartung auswählen</translation>
    </message>
    <message>
        <source>Propert&amp;y:</source>
        <translation>Immobili&amp;e:</translation>
    </message>
    <message>
        <source>Tas&amp;k:</source>
        <translation>Auf&amp;gabe:</translation>
    </message>
    <message>
        <source>Fr&amp;om:</source>
        <translation>&amp;Von:</translation>
    </message>
    <message>
        <source>MMM d, yyyy</source>
        <translation>d. MMM yyyy</translation>
    </message>
    <message>
        <source>Pick a date</source>
        <translation>Datum wählen</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>&amp;To:</source>
        <translation>&amp;Bis:</translation>
    </message>
    <message>
        <source>Reports</source>
        <translation>Berichte</translation>
    </message>
    <message>
        <source>Maintenance &amp;by property</source>
        <translation>Wartung nach &amp;Immobilie</translation>
    </message>
    <message>
        <source>Maintenance by date, &amp;with totals</source>
        <translation>Wartung nach Datum, &amp;mit Summen</translation>
    </message>
    <message>
        <source>Maintenance by pro&amp;vider</source>
        <translation>Wartung nach &amp;Dienstleister</translation>
    </message>
    <message>
        <source>Property &amp;list</source>
        <translation>Immobilien&amp;liste</translation>
    </message>
    <message>
        <source>Prov&amp;ider list</source>
        <translation>Dienstleister&amp;liste</translation>
    </message>
    <message>
        <source>Ta&amp;sk list</source>
        <translation>Aufgaben&amp;liste</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>&amp;Alle</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>Dr&amp;ucken…</translation>
    </message>
</context>
<context>
    <name>TaskLabel</name>
    <message>
        <source> days</source>
        <translation> Tage</translation>
    </message>
    <message>
        <source> day</source>
        <translation> Tag</translation>
    </message>
    <message>
        <source> months</source>
        <translation> Monate</translation>
    </message>
    <message>
        <source> month</source>
        <translation> Monat</translation>
    </message>
    <message>
        <source> years</source>
        <translation> Jahre</translation>
    </message>
    <message>
        <source> year</source>
        <translation> Jahr</translation>
    </message>
    <message>
        <source> None</source>
        <translation> Keine</translation>
    </message>
</context>
<context>
    <name>TaskSheet</name>
    <message>
        <source>Service Tasks</source>
        <translation>Wartungsaufgaben</translation>
    </message>
    <message>
        <source>&amp;Task name:</source>
        <translation>&amp;Name der Aufgabe:</translation>
    </message>
    <message>
        <source>Bold (Ctrl+B)</source>
        <translation>Fett (Strg+B)</translation>
    </message>
    <message>
        <source>B</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Italic (Ctrl+I)</source>
        <translation>Kursiv (Strg+I)</translation>
    </message>
    <message>
        <source>I</source>
        <translation>K</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Underline (Ctrl+U)</source>
        <translation>Unterstrichen (Strg+U)</translation>
    </message>
    <message>
        <source>U</source>
        <translation>U</translation>
    </message>
    <message>
        <source>Ctrl+U</source>
        <translation>Ctrl+U</translation>
    </message>
    <message>
        <source>&amp;Description:</source>
        <translation>&amp;Beschreibung:</translation>
    </message>
    <message>
        <source>&amp;Repeats every:</source>
        <translation>&amp;Wiederholt sich alle:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Months</source>
        <translation>Monate</translation>
    </message>
    <message>
        <source>Years</source>
        <translation>Jahre</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>C&amp;hange</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Task list</source>
        <translation>Aufgabenliste</translation>
    </message>
</context>
<context>
    <name>kov</name>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>for Property</source>
        <translation>für Immobilie</translation>
    </message>
    <message>
        <source>is due</source>
        <translation>ist fällig</translation>
    </message>
    <message>
        <source>No Maintenance selected</source>
        <translation>Keine Wartung ausgewählt</translation>
    </message>
    <message>
        <source>Try again</source>
        <translation>Versuchen Sie es erneut</translation>
    </message>
    <message>
        <source>Can&apos;t set a reminder for Next Maint Date in past</source>
        <translation>Für ein nächstes Wartungsdatum in der Vergangenheit kann keine Erinnerung gesetzt werden</translation>
    </message>
    <message>
        <source>Maintenance selected for:</source>
        <translation>Wartung ausgewählt für:</translation>
    </message>
    <message>
        <source>Send a reminder to the System Notification Center for this item</source>
        <translation>Für diesen Eintrag eine Erinnerung an die Benachrichtigungszentrale senden</translation>
    </message>
    <message>
        <source>Property Maintenance Report</source>
        <translation>Wartungsbericht</translation>
    </message>
    <message>
        <source>Property List Report</source>
        <translation>Immobilienliste</translation>
    </message>
    <message>
        <source>Provider List Report</source>
        <translation>Dienstleisterliste</translation>
    </message>
    <message>
        <source>Task List Report</source>
        <translation>Aufgabenliste</translation>
    </message>
    <message>
        <source>Maintenance Table Contents</source>
        <translation>Inhalt der Wartungstabelle</translation>
    </message>
    <message>
        <source>The folder %1 could not be made.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>No free document name in %1.</source>
        <translation>Kein freier Dokumentname in %1.</translation>
    </message>
    <message>
        <source>Today&apos;s Date:</source>
        <translation>Heutiges Datum:</translation>
    </message>
    <message>
        <source>Page: </source>
        <translation>Seite: </translation>
    </message>
    <message>
        <source>The report document could not be started.</source>
        <translation>Das Berichtsdokument konnte nicht begonnen werden.</translation>
    </message>
    <message>
        <source>Total Service Costs</source>
        <translation>Servicekosten gesamt</translation>
    </message>
    <message>
        <source>Average Monthly Cost</source>
        <translation>Durchschnittliche Monatskosten</translation>
    </message>
    <message>
        <source>the file does not hold a list of records</source>
        <translation>die Datei enthält keine Liste von Einträgen</translation>
    </message>
    <message>
        <source>record %1 is not a dictionary</source>
        <translation>Eintrag %1 ist kein Wörterbuch</translation>
    </message>
    <message>
        <source>a folder stands where the file should be</source>
        <translation>an der Stelle der Datei steht ein Ordner</translation>
    </message>
    <message>
        <source>only part of the file could be written (the disk may be full)</source>
        <translation>nur ein Teil der Datei konnte geschrieben werden (die Festplatte ist vielleicht voll)</translation>
    </message>
    <message>
        <source>text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>eine Zahl</translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation>eine ganze Zahl</translation>
    </message>
    <message>
        <source>a date</source>
        <translation>ein Datum</translation>
    </message>
    <message>
        <source>data</source>
        <translation>Daten</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>wahr oder falsch</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>eine Liste</translation>
    </message>
    <message>
        <source>a dictionary</source>
        <translation>ein Wörterbuch</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nichts</translation>
    </message>
    <message>
        <source>record %1</source>
        <translation>Eintrag %1</translation>
    </message>
    <message>
        <source>%1: no &quot;%2&quot;</source>
        <translation>%1: kein „%2“</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is empty</source>
        <translation>%1: „%2“ ist leer</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; holds %3, not %4</source>
        <translation>%1: „%2“ enthält %3, nicht %4</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; holds %3, not a unit code from 0 to 3</source>
        <translation>%1: „%2“ enthält %3, keinen Einheitencode von 0 bis 3</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; holds a date KOV cannot use</source>
        <translation>%1: „%2“ enthält ein Datum, das KOV nicht verwenden kann</translation>
    </message>
    <message>
        <source>Maintain Item List…</source>
        <translation>Liste bearbeiten…</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Begin Date must be prior to or equal to End Date. Please adjust dates</source>
        <translation>Das Anfangsdatum muss vor dem Enddatum liegen oder ihm gleichen. Bitte passen Sie die Daten an</translation>
    </message>
    <message>
        <source>Date Input Error</source>
        <translation>Fehler bei der Datumseingabe</translation>
    </message>
    <message>
        <source>No reminder for a task that does not recur</source>
        <translation>Keine Erinnerung für eine Aufgabe ohne Wiederholung</translation>
    </message>
    <message>
        <source>Reminders need a desktop notification service, and none is running</source>
        <translation>Erinnerungen brauchen einen Benachrichtigungsdienst des Desktops, und keiner läuft</translation>
    </message>
    <message>
        <source>The reminders file could not be read; it was kept as %1.</source>
        <translation>Die Erinnerungsdatei konnte nicht gelesen werden; sie wurde als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>The reminders file %1 could not be read.</source>
        <translation>Die Erinnerungsdatei %1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source> by Property</source>
        <translation> nach Immobilie</translation>
    </message>
    <message>
        <source> by Date</source>
        <translation> nach Datum</translation>
    </message>
    <message>
        <source> by Provider</source>
        <translation> nach Dienstleister</translation>
    </message>
    <message>
        <source>The reminders file is busy; try again.</source>
        <translation>Die Erinnerungsdatei ist gerade in Gebrauch; versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The reminders could not be saved in %1: %2</source>
        <translation>Die Erinnerungen konnten nicht in %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>kov::CostChart</name>
    <message>
        <source>Parts</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>Labor</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Tax</source>
        <translation>Steuer</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Costs per month appear here when you press Show.</source>
        <translation>Die Kosten je Monat erscheinen hier, wenn Sie „Anzeigen“ drücken.</translation>
    </message>
    <message>
        <source>No maintenance in this range</source>
        <translation>Keine Wartung in diesem Zeitraum</translation>
    </message>
</context>
<context>
    <name>kov::CostTab</name>
    <message>
        <source>Costs based on</source>
        <translation>Kosten auf Grundlage von</translation>
    </message>
    <message>
        <source>qualifying maintenance records</source>
        <translation>passenden Wartungseinträgen</translation>
    </message>
    <message>
        <source>Costs per month</source>
        <translation>Kosten je Monat</translation>
    </message>
</context>
<context>
    <name>kov::DueTab</name>
    <message>
        <source>Property</source>
        <translation>Immobilie</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Last Done</source>
        <translation>Zuletzt erledigt</translation>
    </message>
    <message>
        <source>Next Due</source>
        <translation>Nächste Fälligkeit</translation>
    </message>
    <message>
        <source>Send Reminder</source>
        <translation>Erinnerung senden</translation>
    </message>
    <message>
        <source>There is no property maintenance history to show</source>
        <translation>Es gibt keinen Wartungsverlauf zum Anzeigen</translation>
    </message>
    <message>
        <source>No Property Selected. Please select a property. </source>
        <translation>Keine Immobilie ausgewählt. Bitte wählen Sie eine Immobilie. </translation>
    </message>
    <message>
        <source>No Task Selected. Please choose a task</source>
        <translation>Keine Aufgabe ausgewählt. Bitte wählen Sie eine Aufgabe</translation>
    </message>
    <message>
        <source>Function ConvertToDays() used default.</source>
        <translation>Die Funktion ConvertToDays() hat den Standardwert verwendet.</translation>
    </message>
    <message>
        <source>This is an error. Notify Developer.</source>
        <translation>Dies ist ein Fehler. Bitte benachrichtigen Sie den Entwickler.</translation>
    </message>
    <message>
        <source>Reminders</source>
        <translation>Erinnerungen</translation>
    </message>
    <message>
        <source>When the reminder appears in Notification Center, click on it to open KOV and dismiss it</source>
        <translation>Wenn die Erinnerung in der Benachrichtigungszentrale erscheint, klicken Sie darauf, um KOV zu öffnen und sie zu schließen</translation>
    </message>
    <message>
        <source>Reminder Scheduled for:</source>
        <translation>Erinnerung geplant für:</translation>
    </message>
    <message>
        <source>Maintenance Reminder</source>
        <translation>Wartungserinnerung</translation>
    </message>
</context>
<context>
    <name>kov::ExportActions</name>
    <message>
        <source>Export Maintenance Log as &amp;CSV…</source>
        <translation>Wartungsprotokoll als &amp;CSV exportieren…</translation>
    </message>
    <message>
        <source>Export Due Dates to &amp;Calendar…</source>
        <translation>Fälligkeiten in &amp;Kalender exportieren…</translation>
    </message>
    <message>
        <source>&amp;Back Up Data Files…</source>
        <translation>Datendateien &amp;sichern…</translation>
    </message>
    <message>
        <source>Show the maintenance you want to export on the Maintenance Log tab first.</source>
        <translation>Zeigen Sie die Wartung, die Sie exportieren möchten, zuerst auf dem Reiter „Wartungsprotokoll“ an.</translation>
    </message>
    <message>
        <source>There are no rows to export.</source>
        <translation>Es gibt keine Zeilen zum Exportieren.</translation>
    </message>
    <message>
        <source>KOV Maintenance Log %1.csv</source>
        <translation>KOV Wartungsprotokoll %1.csv</translation>
    </message>
    <message>
        <source>Export Maintenance Log as CSV</source>
        <translation>Wartungsprotokoll als CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message numerus="yes">
        <source>KOV exported %n row(s) of the maintenance log.</source>
        <translation>
            <numerusform>KOV hat %n Zeile des Wartungsprotokolls exportiert.</numerusform>
            <numerusform>KOV hat %n Zeilen des Wartungsprotokolls exportiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>KOV Due Dates.ics</source>
        <translation>KOV Fälligkeiten.ics</translation>
    </message>
    <message>
        <source>Export Due Dates to Calendar</source>
        <translation>Fälligkeiten in Kalender exportieren</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics)</source>
        <translation>iCalendar-Dateien (*.ics)</translation>
    </message>
    <message>
        <source>Due dates come from maintenance logged for tasks that recur; log such a task first.</source>
        <translation>Fälligkeiten ergeben sich aus erfasster Wartung für wiederkehrende Aufgaben; erfassen Sie zuerst eine solche Aufgabe.</translation>
    </message>
    <message>
        <source>There are no due dates to export.</source>
        <translation>Es gibt keine Fälligkeiten zum Exportieren.</translation>
    </message>
    <message numerus="yes">
        <source>KOV exported %n due date(s) to a calendar file.</source>
        <translation>
            <numerusform>KOV hat %n Fälligkeit in eine Kalenderdatei exportiert.</numerusform>
            <numerusform>KOV hat %n Fälligkeiten in eine Kalenderdatei exportiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Back Up Data Files Into</source>
        <translation>Datendateien sichern in</translation>
    </message>
    <message>
        <source>KOV Backup %1</source>
        <translation>KOV Sicherung %1</translation>
    </message>
    <message>
        <source>The folder %1 could not be made.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>%1 could not be copied: %2</source>
        <translation>%1 konnte nicht kopiert werden: %2</translation>
    </message>
    <message>
        <source>The data files were not backed up.</source>
        <translation>Die Datendateien wurden nicht gesichert.</translation>
    </message>
    <message>
        <source>They are in %1</source>
        <translation>Sie liegen in %1</translation>
    </message>
    <message>
        <source>KOV backed up the data files.</source>
        <translation>KOV hat die Datendateien gesichert.</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>%1

The file is %2.</source>
        <translation>%1

Die Datei ist %2.</translation>
    </message>
    <message>
        <source>The file could not be saved.</source>
        <translation>Die Datei konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The file is %1</source>
        <translation>Die Datei ist %1</translation>
    </message>
</context>
<context>
    <name>kov::KOVReceiptView</name>
    <message>
        <source>Drop an image or PDF of the receipt here, or choose one.</source>
        <translation>Legen Sie hier ein Bild oder PDF des Belegs ab, oder wählen Sie eines aus.</translation>
    </message>
</context>
<context>
    <name>kov::LogTab</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>Immobilie</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Dienstleister</translation>
    </message>
    <message>
        <source>Parts</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>Labor</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Tax</source>
        <translation>Steuer</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Receipt</source>
        <translation>Beleg</translation>
    </message>
    <message>
        <source>Maintain Item List…</source>
        <translation>Liste bearbeiten…</translation>
    </message>
    <message>
        <source>Please select a property name and try again, Thank you</source>
        <translation>Bitte wählen Sie eine Immobilie und versuchen Sie es erneut. Danke</translation>
    </message>
    <message>
        <source>Please enter a provider name and try again, Thank you</source>
        <translation>Bitte geben Sie einen Dienstleister an und versuchen Sie es erneut. Danke</translation>
    </message>
    <message>
        <source>Please enter/select a service task and try again, Thank you</source>
        <translation>Bitte geben Sie eine Wartungsaufgabe an oder wählen Sie eine und versuchen Sie es erneut. Danke</translation>
    </message>
    <message>
        <source>Make sure to image files are stored in their own folder within the Tolvanderwerks folder. Use the Help menu and &apos;Show Data Files in Finder&apos; to find this location </source>
        <translation>Bewahren Sie Bilddateien in einem eigenen Ordner innerhalb des Ordners Tolvanderwerks auf. Diesen Ort finden Sie über das Hilfe-Menü und „Datendateien im Dateimanager zeigen“ </translation>
    </message>
    <message>
        <source>Failed to retrieve receipt image file</source>
        <translation>Die Belegdatei konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>Delete failure</source>
        <translation>Löschen fehlgeschlagen</translation>
    </message>
    <message>
        <source>index in propertyHistoryArrayFromFile not found</source>
        <translation>Index in propertyHistoryArrayFromFile nicht gefunden</translation>
    </message>
    <message>
        <source>Delete request failed - not deleted</source>
        <translation>Löschen fehlgeschlagen – nicht gelöscht</translation>
    </message>
    <message>
        <source>Property Maintenance not found for Change request - not changed</source>
        <translation>Wartungseintrag für die Änderung nicht gefunden – nicht geändert</translation>
    </message>
    <message>
        <source>Recurring task interval: </source>
        <translation>Wiederholungsintervall der Aufgabe: </translation>
    </message>
    <message>
        <source>Add Maintenance Record</source>
        <translation>Wartungseintrag hinzufügen</translation>
    </message>
    <message>
        <source>Delete Maintenance Record</source>
        <translation>Wartungseintrag löschen</translation>
    </message>
    <message>
        <source>Change Maintenance Record</source>
        <translation>Wartungseintrag ändern</translation>
    </message>
    <message>
        <source>“%1” cannot be shown: the image is damaged or in a form KOV cannot read.</source>
        <translation>„%1“ kann nicht angezeigt werden: Das Bild ist beschädigt oder in einer Form, die KOV nicht lesen kann.</translation>
    </message>
    <message>
        <source>“%1” is protected by a password and cannot be shown here. Open it in the viewer to see it.</source>
        <translation>„%1“ ist durch ein Kennwort geschützt und kann hier nicht angezeigt werden. Öffnen Sie es im Betrachter.</translation>
    </message>
    <message>
        <source>“%1” cannot be shown: the PDF is damaged or KOV cannot read it.</source>
        <translation>„%1“ kann nicht angezeigt werden: Das PDF ist beschädigt oder KOV kann es nicht lesen.</translation>
    </message>
    <message>
        <source>“%1” cannot be shown: it is neither an image nor a PDF.</source>
        <translation>„%1“ kann nicht angezeigt werden: Es ist weder ein Bild noch ein PDF.</translation>
    </message>
    <message>
        <source>Choose a Receipt</source>
        <translation>Beleg auswählen</translation>
    </message>
    <message>
        <source>Images and PDFs (%1)</source>
        <translation>Bilder und PDFs (%1)</translation>
    </message>
    <message>
        <source>Choose an image or a PDF file.</source>
        <translation>Wählen Sie ein Bild oder eine PDF-Datei.</translation>
    </message>
    <message>
        <source>“%1” is neither an image nor a PDF</source>
        <translation>„%1“ ist weder ein Bild noch ein PDF</translation>
    </message>
</context>
<context>
    <name>kov::LogTabGuide</name>
    <message>
        <source>To begin, add a property and a provider: choose “Maintain Item List…” in their pop-ups below.</source>
        <translation>Legen Sie zuerst eine Immobilie und einen Dienstleister an: Wählen Sie „Liste bearbeiten…“ in deren Menüs unten.</translation>
    </message>
    <message>
        <source>No properties yet</source>
        <translation>Noch keine Immobilien</translation>
    </message>
    <message>
        <source>No providers yet</source>
        <translation>Noch keine Dienstleister</translation>
    </message>
    <message>
        <source>Maintenance log</source>
        <translation>Wartungsprotokoll</translation>
    </message>
    <message>
        <source>Total cost</source>
        <translation>Gesamtkosten</translation>
    </message>
</context>
<context>
    <name>kov::MainWindow</name>
    <message>
        <source>&amp;Maintenance Log</source>
        <translation>&amp;Wartungsprotokoll</translation>
    </message>
    <message>
        <source>Maintenance &amp;Due</source>
        <translation>&amp;Fällige Wartung</translation>
    </message>
    <message>
        <source>&amp;Cost Analysis</source>
        <translation>&amp;Kostenanalyse</translation>
    </message>
    <message>
        <source>&amp;Reports</source>
        <translation>Be&amp;richte</translation>
    </message>
    <message>
        <source>KOV keeps these records as they are; where it needs one of these values, it may leave the record out. The file is in %1.</source>
        <translation>KOV lässt diese Einträge unverändert; wo es einen dieser Werte braucht, lässt es den Eintrag womöglich aus. Die Datei liegt in %1.</translation>
    </message>
    <message>
        <source>Some records in “%1” hold values KOV cannot use</source>
        <translation>Einige Einträge in „%1“ enthalten Werte, die KOV nicht verwenden kann</translation>
    </message>
    <message>
        <source>Sorry, KOV requires Mac OS X Version 10.7 or higher.</source>
        <translation>KOV erfordert leider Mac OS X 10.7 oder neuer.</translation>
    </message>
    <message>
        <source>Display Count</source>
        <translation>Angezeigt</translation>
    </message>
    <message>
        <source>%1

The file is left exactly as it is, and KOV will not change it while it cannot be read. It is at %2.</source>
        <translation>%1

Die Datei bleibt genau so, wie sie ist, und KOV ändert sie nicht, solange sie nicht gelesen werden kann. Sie liegt unter %2.</translation>
    </message>
    <message>
        <source>KOV cannot read the file “%1”.</source>
        <translation>KOV kann die Datei „%1“ nicht lesen.</translation>
    </message>
    <message>
        <source>KOV cannot read the file as it stands (%1), so it will not replace it. It is at %2.</source>
        <translation>KOV kann die Datei in ihrem jetzigen Zustand nicht lesen (%1) und ersetzt sie deshalb nicht. Sie liegt unter %2.</translation>
    </message>
    <message>
        <source>Your change was not saved to “%1”.</source>
        <translation>Ihre Änderung wurde nicht in „%1“ gespeichert.</translation>
    </message>
    <message>
        <source>%1

The file keeps its previous contents. It is at %2.</source>
        <translation>%1

Die Datei behält ihren bisherigen Inhalt. Sie liegt unter %2.</translation>
    </message>
    <message>
        <source>Your change could not be saved to “%1”.</source>
        <translation>Ihre Änderung konnte nicht in „%1“ gespeichert werden.</translation>
    </message>
    <message>
        <source>Reading the lists…</source>
        <translation>Die Listen werden gelesen…</translation>
    </message>
    <message>
        <source>Reading the maintenance log…</source>
        <translation>Das Wartungsprotokoll wird gelesen…</translation>
    </message>
    <message>
        <source>Showing the maintenance log…</source>
        <translation>Das Wartungsprotokoll wird angezeigt…</translation>
    </message>
    <message>
        <source>Working out what is due…</source>
        <translation>Fälligkeiten werden berechnet…</translation>
    </message>
</context>
<context>
    <name>kov::Notifier</name>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
</context>
<context>
    <name>kov::Plist</name>
    <message>
        <source>character %1 is not allowed in XML</source>
        <translation>Zeichen %1 ist in XML nicht erlaubt</translation>
    </message>
    <message>
        <source>invalid UTF-8 (byte 0x%1)</source>
        <translation>ungültiges UTF-8 (Byte 0x%1)</translation>
    </message>
    <message>
        <source>&apos;&amp;&apos; must start an entity or character reference ending in &apos;;&apos;</source>
        <translation>„&amp;“ muss eine Entität oder Zeichenreferenz beginnen, die mit „;“ endet</translation>
    </message>
    <message>
        <source>malformed character reference &amp;%1;</source>
        <translation>fehlerhafte Zeichenreferenz &amp;%1;</translation>
    </message>
    <message>
        <source>character reference &amp;%1; names a character XML does not allow</source>
        <translation>die Zeichenreferenz &amp;%1; nennt ein Zeichen, das XML nicht erlaubt</translation>
    </message>
    <message>
        <source>undefined entity &amp;%1;</source>
        <translation>undefinierte Entität &amp;%1;</translation>
    </message>
    <message>
        <source>base64 text goes on after its &apos;=&apos; padding</source>
        <translation>Base64-Text geht nach seinem „=“-Auffüllzeichen weiter</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a base64 character</source>
        <translation>„%1“ ist kein Base64-Zeichen</translation>
    </message>
    <message>
        <source>base64 text ends in the middle of a byte</source>
        <translation>Base64-Text endet mitten in einem Byte</translation>
    </message>
    <message>
        <source>the XML declaration must come first in the document</source>
        <translation>die XML-Deklaration muss am Anfang des Dokuments stehen</translation>
    </message>
    <message>
        <source>encoding %1 is not supported; property lists are UTF-8</source>
        <translation>die Kodierung %1 wird nicht unterstützt; Property-Listen sind UTF-8</translation>
    </message>
    <message>
        <source>entity declarations are not supported</source>
        <translation>Entitätsdeklarationen werden nicht unterstützt</translation>
    </message>
    <message>
        <source>text is not allowed directly inside &lt;%1&gt;</source>
        <translation>Text ist direkt in &lt;%1&gt; nicht erlaubt</translation>
    </message>
    <message>
        <source>&lt;%1&gt; cannot hold &lt;%2&gt;</source>
        <translation>&lt;%1&gt; kann kein &lt;%2&gt; enthalten</translation>
    </message>
    <message>
        <source>unknown element &lt;%1&gt;</source>
        <translation>unbekanntes Element &lt;%1&gt;</translation>
    </message>
    <message>
        <source>&lt;plist&gt; can only be the root element</source>
        <translation>&lt;plist&gt; kann nur das Wurzelelement sein</translation>
    </message>
    <message>
        <source>&lt;key&gt; outside a &lt;dict&gt;</source>
        <translation>&lt;key&gt; außerhalb eines &lt;dict&gt;</translation>
    </message>
    <message>
        <source>&lt;%1/&gt; cannot hold text</source>
        <translation>&lt;%1/&gt; kann keinen Text enthalten</translation>
    </message>
    <message>
        <source>integer out of range: %1</source>
        <translation>Ganzzahl außerhalb des Bereichs: %1</translation>
    </message>
    <message>
        <source>not an integer: &quot;%1&quot;</source>
        <translation>keine Ganzzahl: „%1“</translation>
    </message>
    <message>
        <source>not a real number: &quot;%1&quot;</source>
        <translation>keine reelle Zahl: „%1“</translation>
    </message>
    <message>
        <source>not a date of the form YYYY-MM-DDTHH:MM:SSZ (years 0001-9999): &quot;%1&quot;</source>
        <translation>kein Datum der Form JJJJ-MM-TTTHH:MM:SSZ (Jahre 0001–9999): „%1“</translation>
    </message>
    <message>
        <source>arrays and dictionaries are nested deeper than %1 levels</source>
        <translation>Listen und Wörterbücher sind tiefer als %1 Ebenen verschachtelt</translation>
    </message>
    <message>
        <source>&lt;key&gt;%1&lt;/key&gt; has no value</source>
        <translation>&lt;key&gt;%1&lt;/key&gt; hat keinen Wert</translation>
    </message>
    <message>
        <source>&lt;%1&gt; in a &lt;dict&gt; must follow a &lt;key&gt;</source>
        <translation>&lt;%1&gt; in einem &lt;dict&gt; muss auf einen &lt;key&gt; folgen</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>kein Speicher mehr</translation>
    </message>
    <message>
        <source>malformed markup (a &apos;&lt;&apos; that starts no tag?)</source>
        <translation>fehlerhaftes Markup (ein „&lt;“, das kein Tag beginnt?)</translation>
    </message>
    <message>
        <source>malformed XML declaration or processing instruction</source>
        <translation>fehlerhafte XML-Deklaration oder Verarbeitungsanweisung</translation>
    </message>
    <message>
        <source>malformed comment</source>
        <translation>fehlerhafter Kommentar</translation>
    </message>
    <message>
        <source>malformed CDATA section</source>
        <translation>fehlerhafter CDATA-Abschnitt</translation>
    </message>
    <message>
        <source>malformed DOCTYPE</source>
        <translation>fehlerhafter DOCTYPE</translation>
    </message>
    <message>
        <source>malformed text</source>
        <translation>fehlerhafter Text</translation>
    </message>
    <message>
        <source>malformed start tag</source>
        <translation>fehlerhaftes Start-Tag</translation>
    </message>
    <message>
        <source>malformed attribute</source>
        <translation>fehlerhaftes Attribut</translation>
    </message>
    <message>
        <source>malformed end tag</source>
        <translation>fehlerhaftes End-Tag</translation>
    </message>
    <message>
        <source>end tag does not match the open element</source>
        <translation>das End-Tag passt nicht zum offenen Element</translation>
    </message>
    <message>
        <source>not well-formed XML</source>
        <translation>kein wohlgeformtes XML</translation>
    </message>
    <message>
        <source>binary property lists are not supported; save the file as an XML property list</source>
        <translation>binäre Property-Listen werden nicht unterstützt; speichern Sie die Datei als XML-Property-Liste</translation>
    </message>
    <message>
        <source>UTF-16 property lists are not supported; save the file as UTF-8</source>
        <translation>UTF-16-Property-Listen werden nicht unterstützt; speichern Sie die Datei als UTF-8</translation>
    </message>
    <message>
        <source>the document is empty</source>
        <translation>das Dokument ist leer</translation>
    </message>
    <message>
        <source>the document ends before all elements are closed</source>
        <translation>das Dokument endet, bevor alle Elemente geschlossen sind</translation>
    </message>
    <message>
        <source>markup after the root element</source>
        <translation>Markup nach dem Wurzelelement</translation>
    </message>
    <message>
        <source>a second root element &lt;%1&gt;</source>
        <translation>ein zweites Wurzelelement &lt;%1&gt;</translation>
    </message>
    <message>
        <source>text after the root element</source>
        <translation>Text nach dem Wurzelelement</translation>
    </message>
    <message>
        <source>not an XML property list: text before the root element</source>
        <translation>keine XML-Property-Liste: Text vor dem Wurzelelement</translation>
    </message>
    <message>
        <source>no root element</source>
        <translation>kein Wurzelelement</translation>
    </message>
    <message>
        <source>&lt;plist&gt; holds no value</source>
        <translation>&lt;plist&gt; enthält keinen Wert</translation>
    </message>
    <message>
        <source>&lt;plist&gt; can hold only one value</source>
        <translation>&lt;plist&gt; kann nur einen Wert enthalten</translation>
    </message>
    <message>
        <source>line %1, column %2: %3</source>
        <translation>Zeile %1, Spalte %2: %3</translation>
    </message>
</context>
<context>
    <name>kov::PropertySheet</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Bundesland</translation>
    </message>
    <message>
        <source>ZIP</source>
        <translation>PLZ</translation>
    </message>
    <message>
        <source>Property Data Missing</source>
        <translation>Angaben zur Immobilie fehlen</translation>
    </message>
    <message>
        <source>Property Name must be entered, please try again.  Thank you</source>
        <translation>Der Name der Immobilie muss angegeben werden, bitte versuchen Sie es erneut. Danke</translation>
    </message>
    <message>
        <source>Duplicate PropertyName - not added</source>
        <translation>Doppelter Immobilienname – nicht hinzugefügt</translation>
    </message>
</context>
<context>
    <name>kov::ProviderSheet</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Provider Data Missing</source>
        <translation>Angaben zum Dienstleister fehlen</translation>
    </message>
    <message>
        <source>Provider Name must be entered, please try again.  Thank you</source>
        <translation>Der Name des Dienstleisters muss angegeben werden, bitte versuchen Sie es erneut. Danke</translation>
    </message>
    <message>
        <source>Duplicate Provider Name - not added</source>
        <translation>Doppelter Dienstleistername – nicht hinzugefügt</translation>
    </message>
</context>
<context>
    <name>kov::ReferenceSheet</name>
    <message>
        <source>failed to find corresponding task data in file array</source>
        <translation>die zugehörigen Aufgabendaten wurden im Datei-Array nicht gefunden</translation>
    </message>
    <message>
        <source>In respondToTableViewDblClickOnTaskSheet:(KOVAppDelegate)</source>
        <translation>In respondToTableViewDblClickOnTaskSheet:(KOVAppDelegate)</translation>
    </message>
    <message>
        <source>failed to find corresponding name data in file array</source>
        <translation>die zugehörigen Namensdaten wurden im Datei-Array nicht gefunden</translation>
    </message>
    <message>
        <source>In respondToTVDblClickOnPropOrProviderSheet:(KOVAppDelegate)</source>
        <translation>In respondToTVDblClickOnPropOrProviderSheet:(KOVAppDelegate)</translation>
    </message>
    <message>
        <source>was deleted or changed.</source>
        <translation>wurde gelöscht oder geändert.</translation>
    </message>
    <message>
        <source>Changing the name or deleting the property/task/provider name </source>
        <translation>Das Ändern oder Löschen des Namens einer Immobilie, Aufgabe oder eines Dienstleisters </translation>
    </message>
    <message>
        <source>may cause mismatched data between the property/task/provider data and the property maintenance data</source>
        <translation>kann dazu führen, dass die Angaben zu Immobilie/Aufgabe/Dienstleister nicht mehr zu den Wartungsdaten passen</translation>
    </message>
    <message>
        <source>If it was deleted, please re-add. If it was changed make sure the *name* stays the same</source>
        <translation>Wurde der Eintrag gelöscht, legen Sie ihn bitte neu an. Wurde er geändert, achten Sie darauf, dass der *Name* gleich bleibt</translation>
    </message>
    <message>
        <source>property/task/provider named</source>
        <translation>Immobilie/Aufgabe/Dienstleister namens</translation>
    </message>
    <message>
        <source>Delete request failed - not deleted</source>
        <translation>Löschen fehlgeschlagen – nicht gelöscht</translation>
    </message>
    <message>
        <source>Task not found for Change request - not changed</source>
        <translation>Aufgabe für die Änderung nicht gefunden – nicht geändert</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>Umbenennen…</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>Immobilie</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Dienstleister</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Add %1</source>
        <translation>%1 hinzufügen</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>%1 löschen</translation>
    </message>
    <message>
        <source>“%1” is used by 1 maintenance record. Delete it anyway?</source>
        <translation>„%1“ wird von 1 Wartungseintrag verwendet. Trotzdem löschen?</translation>
    </message>
    <message>
        <source>“%1” is used by %2 maintenance records. Delete it anyway?</source>
        <translation>„%1“ wird von %2 Wartungseinträgen verwendet. Trotzdem löschen?</translation>
    </message>
    <message>
        <source>The maintenance records keep the name.</source>
        <translation>Die Wartungseinträge behalten den Namen.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Change %1</source>
        <translation>%1 ändern</translation>
    </message>
    <message>
        <source>Rename %1</source>
        <translation>%1 umbenennen</translation>
    </message>
    <message>
        <source>New name for “%1”:</source>
        <translation>Neuer Name für „%1“:</translation>
    </message>
    <message>
        <source>Rename request failed - not renamed</source>
        <translation>Umbenennen fehlgeschlagen - nicht umbenannt</translation>
    </message>
    <message>
        <source>A new name must be entered, please try again.</source>
        <translation>Bitte geben Sie einen neuen Namen ein und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>kov::ReportsTab</name>
    <message>
        <source>The report could not be made</source>
        <translation>Der Bericht konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>Making “%1”…</source>
        <translation>„%1“ wird erstellt…</translation>
    </message>
</context>
<context>
    <name>kov::RowTableModel</name>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>A receipt stored on another computer</source>
        <translation>Ein auf einem anderen Computer gespeicherter Beleg</translation>
    </message>
</context>
<context>
    <name>kov::TaskSheet</name>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Intervall</translation>
    </message>
    <message>
        <source>Task Data Missing</source>
        <translation>Angaben zur Aufgabe fehlen</translation>
    </message>
    <message>
        <source>Task Name and Task Description must be entered, please try again.  Thank you</source>
        <translation>Name und Beschreibung der Aufgabe müssen angegeben werden, bitte versuchen Sie es erneut. Danke</translation>
    </message>
    <message>
        <source>No Time Interval entered( or was zero )</source>
        <translation>Kein Zeitintervall angegeben (oder es war null)</translation>
    </message>
    <message>
        <source>Time Interval required for Months, Days or Years. Please enter it. Thank you</source>
        <translation>Für Monate, Tage oder Jahre ist ein Zeitintervall nötig. Bitte geben Sie es an. Danke</translation>
    </message>
    <message>
        <source>Duplicate Service Task Name - not added</source>
        <translation>Doppelter Aufgabenname – nicht hinzugefügt</translation>
    </message>
</context>
<context>
    <name>kov::UndoHistory</name>
    <message>
        <source>“%1” can no longer be undone.</source>
        <translation>„%1“ kann nicht mehr rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>“%1” can no longer be redone.</source>
        <translation>„%1“ kann nicht mehr wiederholt werden.</translation>
    </message>
    <message>
        <source>Its data file has been changed since, so nothing was written. The undo history has been cleared.</source>
        <translation>Seine Datendatei wurde inzwischen geändert, daher wurde nichts geschrieben. Der Verlauf zum Rückgängigmachen wurde geleert.</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
</context>
<context>
    <name>kov::VersionCheck</name>
    <message>
        <source>Version check failed.</source>
        <translation>Die Versionsprüfung ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The KOV web site could not be contacted.</source>
        <translation>Die KOV-Webseite war nicht erreichbar.</translation>
    </message>
    <message>
        <source>It can be downloaded from the KOV web site.</source>
        <translation>Sie kann von der KOV-Webseite heruntergeladen werden.</translation>
    </message>
    <message>
        <source>Go to web site</source>
        <translation>Zur Webseite</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Unable to Find KOV web page, is there a live connection to the Web?</source>
        <translation>Die KOV-Webseite wurde nicht gefunden. Besteht eine Verbindung zum Internet?</translation>
    </message>
    <message>
        <source>The page is at %1</source>
        <translation>Die Seite ist unter %1</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>KOV keeps track of the upkeep of your houses and other real estate.</source>
        <translation>KOV behält die Instandhaltung Ihrer Häuser und Grundstücke im Blick.</translation>
    </message>
    <message>
        <source>Use &lt;dir&gt; as the data folder.</source>
        <translation>&lt;dir&gt; als Datenordner verwenden.</translation>
    </message>
    <message>
        <source>Open the reminder &lt;id&gt; that was clicked.</source>
        <translation>Die angeklickte Erinnerung &lt;id&gt; öffnen.</translation>
    </message>
    <message>
        <source>Show the reminders that are due, without a window.</source>
        <translation>Fällige Erinnerungen ohne Fenster zeigen.</translation>
    </message>
</context>
</TS>
