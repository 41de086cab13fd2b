<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Colors</name>
    <message>
        <source>black</source>
        <translation>schwarz</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>blau</translation>
    </message>
    <message>
        <source>türkis</source>
        <translation>türkis</translation>
    </message>
    <message>
        <source>light-green</source>
        <translation>hellgrün</translation>
    </message>
    <message>
        <source>pink</source>
        <translation>rosa</translation>
    </message>
    <message>
        <source>red</source>
        <translation>rot</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>gelb</translation>
    </message>
    <message>
        <source>white</source>
        <translation>weiß</translation>
    </message>
    <message>
        <source>dark blue</source>
        <translation>dunkelblau</translation>
    </message>
    <message>
        <source>blue green</source>
        <translation>blaugrün</translation>
    </message>
    <message>
        <source>dark green</source>
        <translation>dunkelgrün</translation>
    </message>
    <message>
        <source>violet</source>
        <translation>violett</translation>
    </message>
    <message>
        <source>dark red</source>
        <translation>dunkelrot</translation>
    </message>
    <message>
        <source>ocher</source>
        <translation>ocker</translation>
    </message>
</context>
<context>
    <name>FileFilters</name>
    <message>
        <source>C++ Files</source>
        <translation>C++-Dateien</translation>
    </message>
    <message>
        <source>Visual Basic Files</source>
        <translation>Visual-Basic-Dateien</translation>
    </message>
    <message>
        <source>Java Files</source>
        <translation>Java-Dateien</translation>
    </message>
    <message>
        <source>VB-Projectfile</source>
        <translation>VB-Projektdatei</translation>
    </message>
    <message>
        <source>Forms</source>
        <translation>Formulare</translation>
    </message>
    <message>
        <source>Classmodule</source>
        <translation>Klassenmodul</translation>
    </message>
    <message>
        <source>Module</source>
        <translation>Modul</translation>
    </message>
    <message>
        <source>C++ Sourcefile</source>
        <translation>C++-Quelldatei</translation>
    </message>
    <message>
        <source>C++ Headerfiles</source>
        <translation>C++-Headerdateien</translation>
    </message>
    <message>
        <source>Rich Text Format</source>
        <translation>Rich Text Format</translation>
    </message>
    <message>
        <source>Lumentra Folios keywords</source>
        <translation>Lumentra-Folios-Schlüsselwörter</translation>
    </message>
    <message>
        <source>Web page</source>
        <translation>Webseite</translation>
    </message>
</context>
<context>
    <name>GatherProblems</name>
    <message>
        <source>%1: no file type is chosen for the search</source>
        <translation>%1: für die Suche ist kein Dateityp gewählt</translation>
    </message>
    <message>
        <source>%1: the folder cannot be read (%2)</source>
        <translation>%1: der Ordner kann nicht gelesen werden (%2)</translation>
    </message>
    <message>
        <source>%1: the folder cannot be read; skipped</source>
        <translation>%1: der Ordner kann nicht gelesen werden; übersprungen</translation>
    </message>
    <message>
        <source>%1: a link to a folder; skipped (open the link itself to search it)</source>
        <translation>%1: eine Verknüpfung auf einen Ordner; übersprungen (öffnen Sie die Verknüpfung selbst, um sie zu durchsuchen)</translation>
    </message>
    <message>
        <source>%1: no files of the chosen types were found</source>
        <translation>%1: es wurden keine Dateien der gewählten Typen gefunden</translation>
    </message>
    <message>
        <source>%1: cannot be reached (%2)</source>
        <translation>%1: nicht erreichbar (%2)</translation>
    </message>
    <message>
        <source>%1: not a C, C++, Java or Visual Basic source file or project</source>
        <translation>%1: keine C-, C++-, Java- oder Visual-Basic-Quelldatei und kein Projekt</translation>
    </message>
    <message>
        <source>%1: the project cannot be opened (%2)</source>
        <translation>%1: das Projekt kann nicht geöffnet werden (%2)</translation>
    </message>
    <message>
        <source>%1: the project cannot be read (%2)</source>
        <translation>%1: das Projekt kann nicht gelesen werden (%2)</translation>
    </message>
    <message>
        <source>%1: the project names no source files</source>
        <translation>%1: das Projekt nennt keine Quelldateien</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Problems met while adding files:</source>
        <translation>Beim Hinzufügen der Dateien gab es Probleme:</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... und %n weitere.</numerusform>
            <numerusform>... und %n weitere.</numerusform>
        </translation>
    </message>
    <message>
        <source>Lumentra Folios</source>
        <translation>Lumentra Folios</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>%1 is a directory.</source>
        <translation>%1 ist ein Verzeichnis.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source> already exists!
Do you want to replace it?</source>
        <translation> existiert bereits!
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>: listed as it is: </source>
        <translation>: unverändert gelistet: </translation>
    </message>
    <message>
        <source>The build ended with error %1.</source>
        <translation>Der Lauf endete mit Fehler %1.</translation>
    </message>
    <message>
        <source>C++ source file</source>
        <translation>C++-Quelldatei</translation>
    </message>
    <message>
        <source>C++ header file</source>
        <translation>C++-Headerdatei</translation>
    </message>
    <message>
        <source>Visual Basic class module</source>
        <translation>Visual-Basic-Klassenmodul</translation>
    </message>
    <message>
        <source>Visual Basic module</source>
        <translation>Visual-Basic-Modul</translation>
    </message>
    <message>
        <source>Visual Basic form</source>
        <translation>Visual-Basic-Formular</translation>
    </message>
    <message>
        <source>Java source file</source>
        <translation>Java-Quelldatei</translation>
    </message>
    <message>
        <source>Other file</source>
        <translation>Andere Datei</translation>
    </message>
    <message>
        <source>readable</source>
        <translation>lesbar</translation>
    </message>
    <message>
        <source>not readable</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>writable</source>
        <translation>beschreibbar</translation>
    </message>
    <message>
        <source>read-only</source>
        <translation>schreibgeschützt</translation>
    </message>
</context>
<context>
    <name>Shell</name>
    <message>
        <source>%1 could not be opened: no application of this desktop took it.
%2</source>
        <translation>%1 konnte nicht geöffnet werden: keine Anwendung dieses Desktops hat die Datei übernommen.
%2</translation>
    </message>
    <message>
        <source>Open it with a word processor that reads RTF documents, or choose one for .rtf files in the desktop&apos;s settings of default applications.</source>
        <translation>Öffnen Sie die Datei mit einer Textverarbeitung, die RTF-Dokumente liest, oder wählen Sie in den Einstellungen des Desktops eine Standardanwendung für .rtf-Dateien.</translation>
    </message>
    <message>
        <source>Open it in a web browser (File &gt; Open, or drop it on a browser window).</source>
        <translation>Öffnen Sie die Datei in einem Webbrowser (Datei &gt; Öffnen, oder ziehen Sie sie auf ein Browserfenster).</translation>
    </message>
    <message>
        <source>Open it with an application that reads it.</source>
        <translation>Öffnen Sie die Datei mit einer Anwendung, die sie lesen kann.</translation>
    </message>
</context>
<context>
    <name>folios::gui::CAboutDlg</name>
    <message>
        <source>Lumentra Folios Version %1</source>
        <translation>Lumentra Folios Version %1</translation>
    </message>
    <message>
        <source>About Lumentra Folios</source>
        <translation>Über Lumentra Folios</translation>
    </message>
    <message>
        <source>Source code listings, documentation from tagged comments and a beautifier for C, C++, Java and Visual Basic.</source>
        <translation>Quelltextlisten, Dokumentation aus markierten Kommentaren und ein Formatierer für C, C++, Java und Visual Basic.</translation>
    </message>
    <message>
        <source>Copyright 2026 Lumentra Folios developers.
All rights reserved. Lumentra Folios is distributed under the terms its developers grant with each copy; no other licence is given.</source>
        <translation>Copyright 2026 die Entwickler von Lumentra Folios.
Alle Rechte vorbehalten. Lumentra Folios wird zu den Bedingungen weitergegeben, die seine Entwickler mit jeder Kopie gewähren; eine andere Lizenz wird nicht erteilt.</translation>
    </message>
    <message>
        <source>Shipped data:</source>
        <translation>Mitgelieferte Daten:</translation>
    </message>
    <message>
        <source>Your data files:</source>
        <translation>Ihre Datendateien:</translation>
    </message>
    <message>
        <source>Settings:</source>
        <translation>Einstellungen:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>folios::gui::CAdvanced_C_Format</name>
    <message>
        <source> (%1 chars) </source>
        <translation> (%1 Zeichen) </translation>
    </message>
    <message>
        <source>(%1 lines)</source>
        <translation>(%1 Zeilen)</translation>
    </message>
    <message>
        <source>Advanced C(++)/Java format options</source>
        <translation>Erweiterte C(++)/Java-Formatoptionen</translation>
    </message>
    <message>
        <source>&amp;Indent with &amp;tabs</source>
        <translation>Mit &amp;Tabulatoren einrücken</translation>
    </message>
    <message>
        <source>&amp;Remove all comments</source>
        <translation>Alle &amp;Kommentare entfernen</translation>
    </message>
    <message>
        <source>Style &amp;1</source>
        <translation>Stil &amp;1</translation>
    </message>
    <message>
        <source>Style &amp;2</source>
        <translation>Stil &amp;2</translation>
    </message>
    <message>
        <source>&amp;Empty lines between two functions</source>
        <translation>&amp;Leerzeilen zwischen zwei Funktionen</translation>
    </message>
    <message>
        <source>&amp;Spaces to indent</source>
        <translation>Leerzeichen je &amp;Einrückung</translation>
    </message>
    <message>
        <source>Comment position &amp;with code</source>
        <translation>Kommentarspalte &amp;mit Code</translation>
    </message>
    <message>
        <source>Comment position with&amp;out code</source>
        <translation>Kommentarspalte &amp;ohne Code</translation>
    </message>
    <message>
        <source>More</source>
        <translation>Weiteres</translation>
    </message>
    <message>
        <source>Choose a style</source>
        <translation>Stil wählen</translation>
    </message>
    <message>
        <source>&quot;} else {&quot; on one &amp;line</source>
        <translation>&quot;} else {&quot; auf einer &amp;Zeile</translation>
    </message>
    <message>
        <source>One step deeper</source>
        <translation>Eine Stufe tiefer</translation>
    </message>
    <message>
        <source>Under the parenthesis</source>
        <translation>Unter der Klammer</translation>
    </message>
    <message>
        <source>Members one step deeper</source>
        <translation>Mitglieder eine Stufe tiefer</translation>
    </message>
    <message>
        <source>At the class brace</source>
        <translation>An der Klammer der Klasse</translation>
    </message>
    <message>
        <source>Half a step in</source>
        <translation>Eine halbe Stufe eingerückt</translation>
    </message>
    <message>
        <source>One step in</source>
        <translation>Eine Stufe eingerückt</translation>
    </message>
    <message>
        <source>Indent n&amp;amespace bodies</source>
        <translation>&amp;Namensräume einrücken</translation>
    </message>
    <message>
        <source>Indent &amp;case labels</source>
        <translation>&amp;case-Marken einrücken</translation>
    </message>
    <message>
        <source>Named st&amp;yle</source>
        <translation>&amp;Vorgegebener Stil</translation>
    </message>
    <message>
        <source>Contin&amp;uation lines</source>
        <translation>&amp;Fortsetzungszeilen</translation>
    </message>
    <message>
        <source>Access la&amp;bels</source>
        <translation>Zugriffsm&amp;arken</translation>
    </message>
    <message>
        <source>classic (the defaults)</source>
        <translation>classic (die Voreinstellungen)</translation>
    </message>
    <message>
        <source>allman (braces on lines of their own)</source>
        <translation>allman (Klammern auf eigenen Zeilen)</translation>
    </message>
    <message>
        <source>gnu (2 spaces, braces on lines of their own)</source>
        <translation>gnu (2 Leerzeichen, Klammern auf eigenen Zeilen)</translation>
    </message>
    <message>
        <source>google (2 spaces, flat namespaces)</source>
        <translation>google (2 Leerzeichen, Namensräume nicht eingerückt)</translation>
    </message>
    <message>
        <source>&amp;Function braces on lines of their own</source>
        <translation>Funktionsklamme&amp;rn auf eigenen Zeilen</translation>
    </message>
    <message>
        <source>linux (tabs, a function&apos;s brace on its own line)</source>
        <translation>linux (Tabulatoren, die Klammer einer Funktion auf eigener Zeile)</translation>
    </message>
    <message>
        <source>Two steps deeper</source>
        <translation>Zwei Stufen tiefer</translation>
    </message>
    <message>
        <source>kr (cuddled else, case labels at the switch)</source>
        <translation>kr (else hinter der Klammer, case-Marken am switch)</translation>
    </message>
    <message>
        <source>java (braces on the code line, cuddled else)</source>
        <translation>java (Klammern auf der Codezeile, else hinter der Klammer)</translation>
    </message>
    <message>
        <source>&amp;Keep comments after code on their line</source>
        <translation>Kommentare hinter Code auf ihrer Zeile &amp;belassen</translation>
    </message>
    <message>
        <source>Comment lines at the i&amp;ndentation of the code after them</source>
        <translation>Kommentarzeilen wie der folgende Co&amp;de einrücken</translation>
    </message>
</context>
<context>
    <name>folios::gui::CAdvanced_C_Format_sheet</name>
    <message>
        <source>Format options</source>
        <translation>Formatoptionen</translation>
    </message>
</context>
<context>
    <name>folios::gui::CChangeFontDlg</name>
    <message>
        <source>Change font</source>
        <translation>Schrift ändern</translation>
    </message>
    <message>
        <source>Font styles</source>
        <translation>Schriftstil</translation>
    </message>
    <message>
        <source>&amp;Bold</source>
        <translation>&amp;Fett</translation>
    </message>
    <message>
        <source>&amp;Italic</source>
        <translation>&amp;Kursiv</translation>
    </message>
    <message>
        <source>&amp;Underline</source>
        <translation>&amp;Unterstrichen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>font &amp;size</source>
        <translation>Schrift&amp;größe</translation>
    </message>
    <message>
        <source>&amp;font color</source>
        <translation>Sch&amp;riftfarbe</translation>
    </message>
    <message>
        <source>back&amp;ground color</source>
        <translation>&amp;Hintergrundfarbe</translation>
    </message>
</context>
<context>
    <name>folios::gui::CDocOpt</name>
    <message>
        <source>Documentation layout</source>
        <translation>Dokumentations-Layout</translation>
    </message>
    <message>
        <source>Document type</source>
        <translation>Dokumenttyp</translation>
    </message>
    <message>
        <source>&amp;RTF format</source>
        <translation>&amp;RTF-Format</translation>
    </message>
    <message>
        <source>&amp;HLP format</source>
        <translation>&amp;HLP-Format</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>&amp;Sort topics</source>
        <translation>Themen &amp;sortieren</translation>
    </message>
    <message>
        <source>&amp;Create topic log</source>
        <translation>Themen&amp;protokoll erstellen</translation>
    </message>
    <message>
        <source>Use &amp;extraction expression</source>
        <translation>&amp;Auswahlausdruck verwenden</translation>
    </message>
    <message>
        <source>&amp;Web page (HTML)</source>
        <translation>&amp;Webseite (HTML)</translation>
    </message>
</context>
<context>
    <name>folios::gui::CDocOptionsCode</name>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Source code</source>
        <translation>Quelltext</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Header</source>
        <translation>Kopfzeile</translation>
    </message>
    <message>
        <source>Fonts</source>
        <translation>Schriften</translation>
    </message>
    <message>
        <source>change</source>
        <translation>ändern</translation>
    </message>
</context>
<context>
    <name>folios::gui::CEditKeywords</name>
    <message>
        <source>True</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>False</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Edit Keywords</source>
        <translation>Schlüsselwörter bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Load keywordfile</source>
        <translation>Schlüsselwortdatei &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Add new keyword</source>
        <translation>&amp;Neues Schlüsselwort</translation>
    </message>
    <message>
        <source>&amp;Delete keyword</source>
        <translation>Schlüsselwort &amp;entfernen</translation>
    </message>
    <message>
        <source>Keyword</source>
        <translation>Schlüsselwort</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Fett</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Kursiv</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Unterstrichen</translation>
    </message>
    <message>
        <source>Font color</source>
        <translation>Schriftfarbe</translation>
    </message>
    <message>
        <source>Back color</source>
        <translation>Hintergrund</translation>
    </message>
    <message>
        <source>a colour number is out of range</source>
        <translation>eine Farbnummer liegt außerhalb des Bereichs</translation>
    </message>
    <message>
        <source>The file %1 could not be read completely: %2.
The keywords read so far are shown; the file will not be changed.</source>
        <translation>Die Datei %1 konnte nicht vollständig gelesen werden: %2.
Die bis dahin gelesenen Schlüsselwörter werden gezeigt; die Datei wird nicht verändert.</translation>
    </message>
    <message>
        <source>The keyword file %1 could not be written: %2</source>
        <translation>Die Schlüsselwortdatei %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Load keywordfile</source>
        <translation>Schlüsselwortdatei laden</translation>
    </message>
    <message>
        <source>Keywords (%1)</source>
        <translation>Schlüsselwörter (%1)</translation>
    </message>
    <message>
        <source>Keywords</source>
        <translation>Schlüsselwörter</translation>
    </message>
    <message>
        <source>&amp;Current keywordfile</source>
        <translation>&amp;Aktuelle Schlüsselwortdatei</translation>
    </message>
</context>
<context>
    <name>folios::gui::CFindDlg</name>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Filetypes</source>
        <translation>Dateitypen</translation>
    </message>
    <message>
        <source>C++</source>
        <translation>C++</translation>
    </message>
    <message>
        <source>&amp;C++ Sourcefiles (*.cpp, *.c)</source>
        <translation>&amp;C++-Quelldateien (*.cpp, *.c)</translation>
    </message>
    <message>
        <source>C++ &amp;Headerfiles (*.hpp, *.h)</source>
        <translation>C++-&amp;Headerdateien (*.hpp, *.h)</translation>
    </message>
    <message>
        <source>Java</source>
        <translation>Java</translation>
    </message>
    <message>
        <source>&amp;Java Sourcefiles (*.java)</source>
        <translation>&amp;Java-Quelldateien (*.java)</translation>
    </message>
    <message>
        <source>Visual Basic</source>
        <translation>Visual Basic</translation>
    </message>
    <message>
        <source>Visual Basic &amp;Form files (*.frm)</source>
        <translation>Visual-Basic-&amp;Formulare (*.frm)</translation>
    </message>
    <message>
        <source>Visual Basic &amp;Module (*.bas)</source>
        <translation>Visual-Basic-&amp;Module (*.bas)</translation>
    </message>
    <message>
        <source>Visual Basic C&amp;lass Module (*.cls)</source>
        <translation>Visual-Basic-K&amp;lassenmodule (*.cls)</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Verzeichnis</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>&amp;Include subfolders</source>
        <translation>&amp;Unterordner einbeziehen</translation>
    </message>
    <message>
        <source>&amp;Search files</source>
        <translation>Dateien &amp;suchen</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>A&amp;bbrechen</translation>
    </message>
    <message>
        <source>Select a directory!</source>
        <translation>Wählen Sie ein Verzeichnis!</translation>
    </message>
    <message>
        <source>You must select at least one filetype!</source>
        <translation>Sie müssen mindestens einen Dateityp wählen!</translation>
    </message>
    <message>
        <source>Search files in the &amp;directory</source>
        <translation>Dateien in diesem &amp;Verzeichnis suchen</translation>
    </message>
</context>
<context>
    <name>folios::gui::CKeywordDlg</name>
    <message>
        <source>True</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>False</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Edit keyword</source>
        <translation>Schlüsselwort bearbeiten</translation>
    </message>
    <message>
        <source>Keyword format</source>
        <translation>Format des Schlüsselworts</translation>
    </message>
    <message>
        <source>&amp;Bold</source>
        <translation>&amp;Fett</translation>
    </message>
    <message>
        <source>&amp;Italic</source>
        <translation>&amp;Kursiv</translation>
    </message>
    <message>
        <source>&amp;Underline</source>
        <translation>&amp;Unterstrichen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Default...</source>
        <translation>&amp;Vorgabe...</translation>
    </message>
    <message>
        <source>You must enter a keyword!</source>
        <translation>Sie müssen ein Schlüsselwort eingeben!</translation>
    </message>
    <message>
        <source>The font and backcolor name must be different!</source>
        <translation>Schrift- und Hintergrundfarbe müssen verschieden sein!</translation>
    </message>
    <message>
        <source>Do you want to change the default values to:
</source>
        <translation>Möchten Sie die Vorgaben ändern in:
</translation>
    </message>
    <message>
        <source>Bold: </source>
        <translation>Fett: </translation>
    </message>
    <message>
        <source>Italic: </source>
        <translation>Kursiv: </translation>
    </message>
    <message>
        <source>Underline: </source>
        <translation>Unterstrichen: </translation>
    </message>
    <message>
        <source>Font color: </source>
        <translation>Schriftfarbe: </translation>
    </message>
    <message>
        <source>Background color: </source>
        <translation>Hintergrundfarbe: </translation>
    </message>
    <message>
        <source>&amp;font color</source>
        <translation>Sch&amp;riftfarbe</translation>
    </message>
    <message>
        <source>back&amp;ground color</source>
        <translation>&amp;Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Use current keyword format for &amp;all keywords</source>
        <translation>Dieses Format für all&amp;e Schlüsselwörter verwenden</translation>
    </message>
    <message>
        <source>&amp;Keyword</source>
        <translation>&amp;Schlüsselwort</translation>
    </message>
</context>
<context>
    <name>folios::gui::CKeywordfiles</name>
    <message>
        <source>Keywordfiles</source>
        <translation>Schlüsselwortdateien</translation>
    </message>
    <message>
        <source>Keywordfiles...</source>
        <translation>Schlüsselwortdateien...</translation>
    </message>
    <message>
        <source>... for C++ files (*.cpp; *.h)</source>
        <translation>... für C++-Dateien (*.cpp; *.h)</translation>
    </message>
    <message>
        <source>Select a file that contains C++ keywords!</source>
        <translation>Wählen Sie eine Datei mit C++-Schlüsselwörtern!</translation>
    </message>
    <message>
        <source>... for Visual Basic Files (*.cls; *.bas; *.frm)</source>
        <translation>... für Visual-Basic-Dateien (*.cls; *.bas; *.frm)</translation>
    </message>
    <message>
        <source>Select a file that contains Visual Basic keywords!</source>
        <translation>Wählen Sie eine Datei mit Visual-Basic-Schlüsselwörtern!</translation>
    </message>
    <message>
        <source>... for Java Files (*.java)</source>
        <translation>... für Java-Dateien (*.java)</translation>
    </message>
    <message>
        <source>Select a file that contains JAVA keywords!</source>
        <translation>Wählen Sie eine Datei mit Java-Schlüsselwörtern!</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
</context>
<context>
    <name>folios::gui::CLFXView</name>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Open Project/File</source>
        <translation>Projekt/Datei öffnen</translation>
    </message>
    <message>
        <source>%1 no longer exists.</source>
        <translation>%1 existiert nicht mehr.</translation>
    </message>
    <message>
        <source>No files where found in the directory!</source>
        <translation>Im Verzeichnis wurden keine Dateien gefunden!</translation>
    </message>
    <message>
        <source>Source code listings</source>
        <translation>Quelltextlisten</translation>
    </message>
    <message>
        <source>The listing build reported problems:</source>
        <translation>Beim Erstellen der Liste gab es Probleme:</translation>
    </message>
    <message>
        <source>Documentation</source>
        <translation>Dokumentation</translation>
    </message>
    <message>
        <source>The documentation build reported problems:</source>
        <translation>Beim Erstellen der Dokumentation gab es Probleme:</translation>
    </message>
    <message>
        <source>Reformat source code files</source>
        <translation>Quelltextdateien neu formatieren</translation>
    </message>
    <message>
        <source>These files were left as they were:</source>
        <translation>Diese Dateien blieben, wie sie waren:</translation>
    </message>
    <message>
        <source>Last build: %1; cancelled after %2 s</source>
        <translation>Letzter Lauf: %1; abgebrochen nach %2 s</translation>
    </message>
    <message>
        <source>Last build: %1; files: %2, problems: %3, time: %4 s</source>
        <translation>Letzter Lauf: %1; Dateien: %2, Probleme: %3, Zeit: %4 s</translation>
    </message>
    <message>
        <source>; project settings: %1</source>
        <translation>; Projekteinstellungen: %1</translation>
    </message>
    <message>
        <source>The help page %1 is missing.</source>
        <translation>Die Hilfeseite %1 fehlt.</translation>
    </message>
</context>
<context>
    <name>folios::gui::CMainFrame</name>
    <message>
        <source>Lumentra Folios</source>
        <translation>Lumentra Folios</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>Last build</source>
        <translation>Letzter Lauf</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open Project/File...</source>
        <translation>Projekt/Datei ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Fills the list with one project or source file</source>
        <translation>Füllt die Liste mit einem Projekt oder einer Quelldatei</translation>
    </message>
    <message>
        <source>Open &amp;Directory...</source>
        <translation>&amp;Verzeichnis öffnen...</translation>
    </message>
    <message>
        <source>Fills the list with the source files found in a directory</source>
        <translation>Füllt die Liste mit den Quelldateien, die in einem Verzeichnis gefunden werden</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Removes the selected files from the list</source>
        <translation>Nimmt die gewählten Dateien aus der Liste</translation>
    </message>
    <message>
        <source>Clear &amp;all</source>
        <translation>&amp;Alle entfernen</translation>
    </message>
    <message>
        <source>Removes every file from the list</source>
        <translation>Nimmt alle Dateien aus der Liste</translation>
    </message>
    <message>
        <source>Selec&amp;t All</source>
        <translation>Alle a&amp;uswählen</translation>
    </message>
    <message>
        <source>Selects every file of the list</source>
        <translation>Wählt alle Dateien der Liste aus</translation>
    </message>
    <message>
        <source>P&amp;roperties...</source>
        <translation>Eigen&amp;schaften...</translation>
    </message>
    <message>
        <source>Shows the type, place, size and dates of the selected file</source>
        <translation>Zeigt Typ, Ort, Größe und Zeitpunkte der gewählten Datei</translation>
    </message>
    <message>
        <source>Show &amp;Statistics</source>
        <translation>S&amp;tatistik anzeigen</translation>
    </message>
    <message>
        <source>Shows the number and size of the files per type</source>
        <translation>Zeigt Anzahl und Größe der Dateien je Typ</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quits the program</source>
        <translation>Beendet das Programm</translation>
    </message>
    <message>
        <source>&amp;Build</source>
        <translation>&amp;Erstellen</translation>
    </message>
    <message>
        <source>&amp;Source code listings...</source>
        <translation>&amp;Quelltextlisten...</translation>
    </message>
    <message>
        <source>Makes one RTF listing of the files in the list</source>
        <translation>Erstellt eine RTF-Liste der Dateien in der Liste</translation>
    </message>
    <message>
        <source>&amp;Documentation...</source>
        <translation>&amp;Dokumentation...</translation>
    </message>
    <message>
        <source>Starts building a documentation from your active (displayed) code files</source>
        <translation>Erstellt eine Dokumentation aus den angezeigten Quelldateien</translation>
    </message>
    <message>
        <source>&amp;Reformat source code files</source>
        <translation>Quelltextdateien neu &amp;formatieren</translation>
    </message>
    <message>
        <source>Reformats the C, C++ and Java files of the list in place</source>
        <translation>Formatiert die C-, C++- und Java-Dateien der Liste an Ort und Stelle neu</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Lar&amp;ge icons</source>
        <translation>&amp;Große Symbole</translation>
    </message>
    <message>
        <source>S&amp;mall icons</source>
        <translation>&amp;Kleine Symbole</translation>
    </message>
    <message>
        <source>&amp;List</source>
        <translation>&amp;Liste</translation>
    </message>
    <message>
        <source>&amp;Details</source>
        <translation>&amp;Details</translation>
    </message>
    <message>
        <source>&amp;Order as Added</source>
        <translation>&amp;Reihenfolge beim Hinzufügen</translation>
    </message>
    <message>
        <source>Shows the files in the order they were added, unsorted</source>
        <translation>Zeigt die Dateien unsortiert in der Reihenfolge, in der sie hinzugefügt wurden</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Preferences...</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>General settings of the program</source>
        <translation>Allgemeine Einstellungen des Programms</translation>
    </message>
    <message>
        <source>Edit &amp;Keywords...</source>
        <translation>&amp;Schlüsselwörter bearbeiten...</translation>
    </message>
    <message>
        <source>Edits the keywords of a keyword file and their formats</source>
        <translation>Bearbeitet die Schlüsselwörter einer Schlüsselwortdatei und ihre Formate</translation>
    </message>
    <message>
        <source>&amp;Document options...</source>
        <translation>&amp;Dokumentoptionen...</translation>
    </message>
    <message>
        <source>Fonts and colours of code, comments and headers in listings</source>
        <translation>Schriften und Farben von Code, Kommentaren und Kopfzeilen in Listen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Opens the help page</source>
        <translation>Öffnet die Hilfeseite</translation>
    </message>
    <message>
        <source>&amp;About Lumentra Folios...</source>
        <translation>Ü&amp;ber Lumentra Folios...</translation>
    </message>
    <message>
        <source>Shows the program&apos;s version, licence and the places of its files</source>
        <translation>Zeigt Version und Lizenz des Programms und die Orte seiner Dateien</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Fills the list again from this file</source>
        <translation>Füllt die Liste erneut aus dieser Datei</translation>
    </message>
</context>
<context>
    <name>folios::gui::CNoiseCharsDlg</name>
    <message>
        <source>Define noise chars</source>
        <translation>Störzeichen festlegen</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Invalid caracter!</source>
        <translation>Ungültiges Zeichen!</translation>
    </message>
    <message>
        <source>The character is already in the list!</source>
        <translation>Das Zeichen ist bereits in der Liste!</translation>
    </message>
    <message>
        <source>The noise characters could not be saved: %1</source>
        <translation>Die Störzeichen konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Noise characters</source>
        <translation>Störzeichen</translation>
    </message>
    <message>
        <source>C&amp;haracter:</source>
        <translation>&amp;Zeichen:</translation>
    </message>
</context>
<context>
    <name>folios::gui::COptPage1</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>&amp;Open File after creation</source>
        <translation>Datei nach dem Erstellen ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Show File Open Dialog upon program start</source>
        <translation>Beim &amp;Programmstart den Dialog zum Öffnen zeigen</translation>
    </message>
    <message>
        <source>Default file filter</source>
        <translation>Standard-Dateifilter</translation>
    </message>
    <message>
        <source>C++ Files (*.dsp; *.cpp; *.h)</source>
        <translation>C++-Dateien (*.dsp; *.cpp; *.h)</translation>
    </message>
    <message>
        <source>VB Files (*.vbp; *.bas; *.cls; *.frm)</source>
        <translation>VB-Dateien (*.vbp; *.bas; *.cls; *.frm)</translation>
    </message>
    <message>
        <source>Java Files (*.java)</source>
        <translation>Java-Dateien (*.java)</translation>
    </message>
    <message>
        <source>Default file location</source>
        <translation>Standardverzeichnis für Dateien</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation>Ausrichtung</translation>
    </message>
    <message>
        <source>&amp;Portrait</source>
        <translation>&amp;Hochformat</translation>
    </message>
    <message>
        <source>&amp;Landscape</source>
        <translation>&amp;Querformat</translation>
    </message>
    <message>
        <source>Reset all settings</source>
        <translation>Alle Einstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>Do you want to reset your settings to their original defaults?</source>
        <translation>Möchten Sie Ihre Einstellungen auf die ursprünglichen Vorgaben zurücksetzen?</translation>
    </message>
</context>
<context>
    <name>folios::gui::CProgressDlg</name>
    <message>
        <source>Add files to main area</source>
        <translation>Dateien zur Liste hinzufügen</translation>
    </message>
    <message>
        <source>Reformat sourcecode files</source>
        <translation>Quelltextdateien formatieren</translation>
    </message>
    <message>
        <source>Load codefiles ...</source>
        <translation>Quelldateien laden ...</translation>
    </message>
    <message>
        <source>Extract comment text ...</source>
        <translation>Kommentartext auslesen ...</translation>
    </message>
    <message>
        <source>Write file ...</source>
        <translation>Datei schreiben ...</translation>
    </message>
    <message>
        <source>Create RTF document %1</source>
        <translation>RTF-Dokument %1 erstellen</translation>
    </message>
    <message>
        <source>Editing codefile %1 of %2: %3</source>
        <translation>Bearbeite Quelldatei %1 von %2: %3</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>folios::gui::CPropDlgDoc</name>
    <message>
        <source>Document options</source>
        <translation>Dokumentoptionen</translation>
    </message>
</context>
<context>
    <name>folios::gui::CPropKeywords</name>
    <message>
        <source>Edit Keywords</source>
        <translation>Schlüsselwörter bearbeiten</translation>
    </message>
</context>
<context>
    <name>folios::gui::CPropSheet</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>folios::gui::CPropertiesDlg</name>
    <message>
        <source>%1 Properties</source>
        <translation>Eigenschaften von %1</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Accessed</source>
        <translation>Letzter Zugriff</translation>
    </message>
    <message>
        <source>Permissions</source>
        <translation>Rechte</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
</context>
<context>
    <name>folios::gui::CSourceOpt</name>
    <message>
        <source>Source code layout</source>
        <translation>Quelltext-Layout</translation>
    </message>
    <message>
        <source>Format what (VB only)</source>
        <translation>Was formatieren (nur VB)</translation>
    </message>
    <message>
        <source>&amp;Form Definition only</source>
        <translation>Nur &amp;Formulardefinition</translation>
    </message>
    <message>
        <source>&amp;Code only</source>
        <translation>Nur &amp;Code</translation>
    </message>
    <message>
        <source>&amp;Both</source>
        <translation>&amp;Beides</translation>
    </message>
    <message>
        <source>Line options</source>
        <translation>Zeilenoptionen</translation>
    </message>
    <message>
        <source>Use &amp;lineseparator (VB only)</source>
        <translation>Zeilen&amp;trenner verwenden (nur VB)</translation>
    </message>
    <message>
        <source>&amp;Generate line breaks if needed</source>
        <translation>Zeilen&amp;umbrüche bei Bedarf erzeugen</translation>
    </message>
    <message>
        <source>&amp;Remove noise chars</source>
        <translation>&amp;Störzeichen entfernen</translation>
    </message>
    <message>
        <source>&amp;Define...</source>
        <translation>Fest&amp;legen...</translation>
    </message>
    <message>
        <source>Line numbers</source>
        <translation>Zeilennummern</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>&amp;Keine</translation>
    </message>
    <message>
        <source>By &amp;module</source>
        <translation>Je &amp;Modul</translation>
    </message>
    <message>
        <source>C&amp;ontinuous</source>
        <translation>&amp;Durchgehend</translation>
    </message>
    <message>
        <source>Start at</source>
        <translation>Beginnen bei</translation>
    </message>
    <message>
        <source>Increment by</source>
        <translation>Schrittweite</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>Spalten</translation>
    </message>
    <message>
        <source>&amp;Separator</source>
        <translation>T&amp;rennlinie</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>Page break</source>
        <translation>Seitenumbruch</translation>
    </message>
    <message>
        <source>S&amp;tart new page for every file</source>
        <translation>&amp;Neue Seite für jede Datei</translation>
    </message>
    <message>
        <source>&amp;Use advanced options</source>
        <translation>Erweiterte Optionen &amp;verwenden</translation>
    </message>
    <message>
        <source>&amp;Advanced C(++)/Java format options</source>
        <translation>&amp;Erweiterte C(++)/Java-Formatoptionen</translation>
    </message>
    <message>
        <source>The &quot;Start at&quot; value must be &gt; 0 and &lt; 100000!</source>
        <translation>Der Wert &quot;Beginnen bei&quot; muss &gt; 0 und &lt; 100000 sein!</translation>
    </message>
    <message>
        <source>The &quot;Increment by&quot; value must be &gt; 0 and &lt; 100000!</source>
        <translation>Der Wert &quot;Schrittweite&quot; muss &gt; 0 und &lt; 100000 sein!</translation>
    </message>
    <message>
        <source>Output type</source>
        <translation>Ausgabeformat</translation>
    </message>
    <message>
        <source>RTF docum&amp;ent</source>
        <translation>RTF-D&amp;okument</translation>
    </message>
    <message>
        <source>&amp;Web page (HTML)</source>
        <translation>&amp;Webseite (HTML)</translation>
    </message>
</context>
<context>
    <name>folios::gui::CStatisticsDlg</name>
    <message>
        <source>C++ Sourcefiles (*.cpp, *.c)</source>
        <translation>C++-Quelldateien (*.cpp, *.c)</translation>
    </message>
    <message>
        <source>C++ Headerfiles (*.h)</source>
        <translation>C++-Headerdateien (*.h)</translation>
    </message>
    <message>
        <source>Visual Basic Form files (*.frm)</source>
        <translation>Visual-Basic-Formulare (*.frm)</translation>
    </message>
    <message>
        <source>Visual Basic Module (*.bas)</source>
        <translation>Visual-Basic-Module (*.bas)</translation>
    </message>
    <message>
        <source>Visual Basic Class Module (*.cls)</source>
        <translation>Visual-Basic-Klassenmodule (*.cls)</translation>
    </message>
    <message>
        <source>Java Files (*.java)</source>
        <translation>Java-Dateien (*.java)</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Summe</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Fileinfo</source>
        <translation>Dateiinfo</translation>
    </message>
    <message>
        <source>Filetype</source>
        <translation>Dateityp</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>Total Size</source>
        <translation>Gesamtgröße</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Files per type</source>
        <translation>Dateien je Typ</translation>
    </message>
</context>
<context>
    <name>folios::gui::FileListModel</name>
    <message>
        <source> (missing)</source>
        <translation> (fehlt)</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Verzeichnis</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
</context>
</TS>
