<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Run %1, started %2: %3 in %4</source>
        <translation>Lauf %1, begonnen %2: %3 in %4</translation>
    </message>
    <message>
        <source>, copies to %1</source>
        <translation>, Kopien nach %1</translation>
    </message>
    <message>
        <source>%1 files planned, %2 done, %3 failed. State: %4.</source>
        <translation>%1 Dateien geplant, %2 erledigt, %3 fehlgeschlagen. Zustand: %4.</translation>
    </message>
    <message>
        <source>Last undo: %1 restored, %2 skipped.</source>
        <translation>Letztes Rückgängigmachen: %1 wiederhergestellt, %2 übersprungen.</translation>
    </message>
    <message>
        <source>back from the trash</source>
        <translation>aus dem Papierkorb zurück</translation>
    </message>
    <message>
        <source>set back</source>
        <translation>zurückgesetzt</translation>
    </message>
    <message>
        <source>Rename to a temporary name</source>
        <translation>Umbenennen in einen vorläufigen Namen</translation>
    </message>
    <message>
        <source>Rename from a temporary name</source>
        <translation>Umbenennen aus einem vorläufigen Namen</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>To the trash</source>
        <translation>In den Papierkorb</translation>
    </message>
    <message>
        <source>replaced by a copy</source>
        <translation>durch eine Kopie ersetzt</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>before: mode %1</source>
        <translation>vorher: Modus %1</translation>
    </message>
    <message>
        <source>Dates and times</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>modified %1 → %2</source>
        <translation>geändert %1 → %2</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Run ended</source>
        <translation>Lauf beendet</translation>
    </message>
    <message>
        <source>%1: %2 done, %3 failed</source>
        <translation>%1: %2 erledigt, %3 fehlgeschlagen</translation>
    </message>
    <message>
        <source>Undo started</source>
        <translation>Rückgängigmachen begonnen</translation>
    </message>
    <message>
        <source>(temporary file)</source>
        <translation>(vorläufige Datei)</translation>
    </message>
    <message>
        <source>named</source>
        <translation>benannt</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>wiederhergestellt</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>übersprungen</translation>
    </message>
    <message>
        <source>nothing to do</source>
        <translation>nichts zu tun</translation>
    </message>
    <message>
        <source>Undo: %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Temporary name: %1</source>
        <translation>Vorläufiger Name: %1</translation>
    </message>
    <message>
        <source>Temporary file: %1</source>
        <translation>Vorläufige Datei: %1</translation>
    </message>
    <message>
        <source>→ the trash</source>
        <translation>→ Papierkorb</translation>
    </message>
    <message>
        <source>Undo cancelled</source>
        <translation>Rückgängigmachen abgebrochen</translation>
    </message>
    <message>
        <source>Undo ended</source>
        <translation>Rückgängigmachen beendet</translation>
    </message>
    <message>
        <source>%1 restored, %2 skipped</source>
        <translation>%1 wiederhergestellt, %2 übersprungen</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Files kept as they are</source>
        <translation>Dateien belassen, wie sie sind</translation>
    </message>
    <message>
        <source>%1 resolved</source>
        <translation>%1 aufgelöst</translation>
    </message>
    <message>
        <source>temporary name</source>
        <translation>vorläufiger Name</translation>
    </message>
    <message>
        <source>temporary names</source>
        <translation>vorläufige Namen</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>(unreadable record)</source>
        <translation>(unlesbarer Eintrag)</translation>
    </message>
    <message>
        <source>moved to the trash</source>
        <translation>in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Neuer Ordner</translation>
    </message>
</context>
<context>
    <name>UndoRunner</name>
    <message numerus="yes">
        <source>%n record(s) of the journal could not be read: what they did is not undone.</source>
        <translation>
            <numerusform>%n Eintrag des Protokolls konnte nicht gelesen werden: Was er bewirkt hat, wird nicht rückgängig gemacht.</numerusform>
            <numerusform>%n Einträge des Protokolls konnten nicht gelesen werden: Was sie bewirkt haben, wird nicht rückgängig gemacht.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quorvan</name>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>%1 restored, %2 skipped.</source>
        <translation>%1 wiederhergestellt, %2 übersprungen.</translation>
    </message>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>The files of the run were kept as they are, but %1 could not be given a name. The details say why.</source>
        <translation>Die Dateien des Laufs wurden belassen, wie sie sind, aber %1 konnte kein Name gegeben werden. Die Details nennen den Grund.</translation>
    </message>
    <message>
        <source>Undo cancelled: %1
Undo the run again to finish it.</source>
        <translation>Rückgängigmachen abgebrochen: %1
Machen Sie den Lauf erneut rückgängig, um es abzuschließen.</translation>
    </message>
    <message>
        <source>Undo finished: %1
The details say why each step was skipped.</source>
        <translation>Rückgängigmachen beendet: %1
Die Details nennen zu jedem übersprungenen Schritt den Grund.</translation>
    </message>
    <message>
        <source>Undo complete: %1</source>
        <translation>Rückgängigmachen abgeschlossen: %1</translation>
    </message>
    <message>
        <source>Issue...</source>
        <translation>Problem...</translation>
    </message>
    <message>
        <source>This run is still going, or being undone elsewhere. Try again once it has ended.</source>
        <translation>Dieser Lauf ist noch im Gange oder wird anderswo rückgängig gemacht. Versuchen Sie es erneut, wenn er beendet ist.</translation>
    </message>
    <message>
        <source>Error...</source>
        <translation>Fehler...</translation>
    </message>
    <message>
        <source>The journal of this run cannot be read:
%1</source>
        <translation>Das Protokoll dieses Laufs kann nicht gelesen werden:
%1</translation>
    </message>
    <message>
        <source>it does not begin with the run&apos;s start.</source>
        <translation>es beginnt nicht mit dem Start des Laufs.</translation>
    </message>
    <message>
        <source>This run was recorded by a newer version of Quorvan, which alone can undo it.</source>
        <translation>Dieser Lauf wurde von einer neueren Version von Quorvan aufgezeichnet, die allein ihn rückgängig machen kann.</translation>
    </message>
    <message>
        <source>The undo stopped: the run&apos;s journal cannot be written:
%1
So far: %2</source>
        <translation>Das Rückgängigmachen wurde angehalten: Das Protokoll des Laufs kann nicht geschrieben werden:
%1
Bisher: %2</translation>
    </message>
    <message>
        <source>The rename run of %1 in %2 was interrupted after %3 of %4 files. Undo what it did?</source>
        <translation>Der Umbenennungslauf vom %1 in %2 wurde nach %3 von %4 Dateien unterbrochen. Rückgängig machen, was er getan hat?</translation>
    </message>
    <message>
        <source>Reading dates and tags from the files...</source>
        <translation>Datum und Tags werden aus den Dateien gelesen...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>This run is not undone: %1</source>
        <translation>Dieser Lauf wird nicht rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>The files of this run were not kept as they are: %1
The run stays interrupted; you will be asked again.</source>
        <translation>Die Dateien dieses Laufs wurden nicht so belassen, wie sie sind: %1
Der Lauf bleibt unterbrochen; Sie werden erneut gefragt.</translation>
    </message>
</context>
<context>
    <name>quorvan::CAttributeSettingsDlg</name>
    <message>
        <source>File Creation Date/Time:</source>
        <translation>Erstellungsdatum/-zeit:</translation>
    </message>
    <message>
        <source>File Modified Date/Time:</source>
        <translation>Änderungsdatum/-zeit:</translation>
    </message>
    <message>
        <source>File Last Accessed:</source>
        <translation>Letzter Zugriff:</translation>
    </message>
    <message>
        <source>Modify attributes:</source>
        <translation>Attribute ändern:</translation>
    </message>
    <message>
        <source>Modifies file attribute settings</source>
        <translation>Ändert die Attribute der Dateien</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Schreibgeschützt</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Versteckt</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archiv</translation>
    </message>
    <message>
        <source>Modify Date/Time:</source>
        <translation>Datum/Uhrzeit ändern:</translation>
    </message>
    <message>
        <source>Modifies file date and time settings</source>
        <translation>Ändert Datum und Uhrzeit der Dateien</translation>
    </message>
    <message>
        <source>Linux cannot set a file&apos;s creation time: files keep the one they have</source>
        <translation>Linux kann die Erstellungszeit einer Datei nicht setzen: Dateien behalten die ihre</translation>
    </message>
</context>
<context>
    <name>quorvan::CCDDBSettingsDlg</name>
    <message>
        <source>Rename CD Audio Files</source>
        <translation>CD-Audiodateien umbenennen</translation>
    </message>
    <message>
        <source>Check this box to enable the CD Audio renaming functionality</source>
        <translation>Aktivieren Sie dieses Kästchen, um CD-Audiodateien nach den Titeln umzubenennen</translation>
    </message>
    <message>
        <source>&amp;CDDB Settings...</source>
        <translation>&amp;CDDB-Einstellungen...</translation>
    </message>
    <message>
        <source>Choose the CDDB server and the e-mail address sent to it</source>
        <translation>Den CDDB-Server und die ihm gesendete E-Mail-Adresse wählen</translation>
    </message>
    <message>
        <source>CD Drive:</source>
        <translation>CD-Laufwerk:</translation>
    </message>
    <message>
        <source>List of CD-ROM drives available</source>
        <translation>Liste der verfügbaren CD-ROM-Laufwerke</translation>
    </message>
    <message>
        <source>&amp;Get names</source>
        <translation>&amp;Namen abrufen</translation>
    </message>
    <message>
        <source>Retrieve track names from Audio CD in selected drive</source>
        <translation>Titelnamen der Audio-CD im gewählten Laufwerk abrufen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Selects all the tracks in the retrieved internet track name list</source>
        <translation>Wählt alle Titel in der Liste der abgerufenen Titelnamen aus</translation>
    </message>
    <message>
        <source>Deselect All</source>
        <translation>Alle abwählen</translation>
    </message>
    <message>
        <source>Deselects all the tracks in the retrieved internet track name list</source>
        <translation>Wählt alle Titel in der Liste der abgerufenen Titelnamen ab</translation>
    </message>
    <message>
        <source>Invert Selections</source>
        <translation>Auswahl umkehren</translation>
    </message>
    <message>
        <source>Inverts the selections of the tracks in the retrieved internet track name list</source>
        <translation>Kehrt die Auswahl der Titel in der Liste der abgerufenen Titelnamen um</translation>
    </message>
    <message>
        <source>Selected tracks:</source>
        <translation>Gewählte Titel:</translation>
    </message>
    <message>
        <source>Retrieved track names:</source>
        <translation>Abgerufene Titelnamen:</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Move the selected source track up one entry in the list</source>
        <translation>Verschiebt den gewählten Titel in der Liste um einen Eintrag nach oben</translation>
    </message>
    <message>
        <source>Move &amp;Down</source>
        <translation>Nach un&amp;ten</translation>
    </message>
    <message>
        <source>Move the selected source track down one entry in the list</source>
        <translation>Verschiebt den gewählten Titel in der Liste um einen Eintrag nach unten</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Play the selected audio file from the source track list</source>
        <translation>Spielt die gewählte Audiodatei aus der Titelliste ab</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Stop playing selected audio file</source>
        <translation>Beendet das Abspielen der gewählten Audiodatei</translation>
    </message>
    <message>
        <source>The CDDB server may refuse to answer without your e-mail address. Please enter it below: it is sent with every request for track names.</source>
        <translation>Der CDDB-Server antwortet möglicherweise nicht ohne Ihre E-Mail-Adresse. Bitte geben Sie sie unten ein: Sie wird mit jeder Anfrage nach Titelnamen gesendet.</translation>
    </message>
    <message>
        <source>Unable to play %1:
%2</source>
        <translation>%1 kann nicht abgespielt werden:
%2</translation>
    </message>
    <message>
        <source>Loo&amp;k up in:</source>
        <translation>Nachschla&amp;gen bei:</translation>
    </message>
    <message>
        <source>CDDB server</source>
        <translation>CDDB-Server</translation>
    </message>
    <message>
        <source>MusicBrainz</source>
        <translation>MusicBrainz</translation>
    </message>
    <message>
        <source>Where Get names looks the disc up</source>
        <translation>Wo „Namen abrufen“ die CD nachschlägt</translation>
    </message>
</context>
<context>
    <name>quorvan::CCddbServerDlg</name>
    <message>
        <source>CDDB Settings</source>
        <translation>CDDB-Einstellungen</translation>
    </message>
    <message>
        <source>The CDDB server that track names are retrieved from</source>
        <translation>Der CDDB-Server, von dem die Titelnamen abgerufen werden</translation>
    </message>
    <message>
        <source>The port of the server&apos;s web gateway, usually 80</source>
        <translation>Der Port des Web-Zugangs des Servers, meist 80</translation>
    </message>
    <message>
        <source>name@example.org</source>
        <translation>name@example.org</translation>
    </message>
    <message>
        <source>Sent to the server with every request; public servers refuse requests without one</source>
        <translation>Wird mit jeder Anfrage an den Server gesendet; öffentliche Server lehnen Anfragen ohne Adresse ab</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>&amp;E-mail address:</source>
        <translation>&amp;E-Mail-Adresse:</translation>
    </message>
    <message>
        <source>Without an e-mail address, your login and computer names are sent instead.</source>
        <translation>Ohne E-Mail-Adresse werden stattdessen Ihr Anmelde- und Ihr Rechnername gesendet.</translation>
    </message>
    <message>
        <source>The CDDB settings could not be saved.</source>
        <translation>Die CDDB-Einstellungen konnten nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>quorvan::CExtendedSettingsDlg</name>
    <message>
        <source>File Name Properties:</source>
        <translation>Dateinamen:</translation>
    </message>
    <message>
        <source>Change extension to:</source>
        <translation>Endung ändern in:</translation>
    </message>
    <message>
        <source>Changes the extension from the existing value to the specified value</source>
        <translation>Ändert die vorhandene Endung in die angegebene</translation>
    </message>
    <message>
        <source>Append the following (after extension):</source>
        <translation>Folgendes anhängen (nach der Endung):</translation>
    </message>
    <message>
        <source>Appends specified string to the end of the full file names</source>
        <translation>Hängt den angegebenen Text an das Ende der vollständigen Dateinamen an</translation>
    </message>
    <message>
        <source>File Processing</source>
        <translation>Verarbeitung</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Unterordner einbeziehen</translation>
    </message>
    <message>
        <source>Process all files in current folder and subfolders</source>
        <translation>Alle Dateien im aktuellen Ordner und in den Unterordnern verarbeiten</translation>
    </message>
    <message>
        <source>Generate log file</source>
        <translation>Protokolldatei erstellen</translation>
    </message>
    <message>
        <source>Generates a log file of the renaming process</source>
        <translation>Erstellt eine Protokolldatei des Umbenennens</translation>
    </message>
    <message>
        <source>Generate &quot;Undo&quot; batch file</source>
        <translation>„Rückgängig“-Skript erstellen</translation>
    </message>
    <message>
        <source>Generates a file that will undo rename actions</source>
        <translation>Erstellt eine Datei, die das Umbenennen rückgängig macht</translation>
    </message>
    <message>
        <source>Rename File Destination:</source>
        <translation>Ziel der umbenannten Dateien:</translation>
    </message>
    <message>
        <source>Rename existing files</source>
        <translation>Vorhandene Dateien umbenennen</translation>
    </message>
    <message>
        <source>Renames files in their current location</source>
        <translation>Benennt die Dateien an ihrem aktuellen Ort um</translation>
    </message>
    <message>
        <source>Copy then rename files (leaves original files):</source>
        <translation>Dateien kopieren, dann umbenennen (Originale bleiben):</translation>
    </message>
    <message>
        <source>Copies the files to the destination location then performs rename</source>
        <translation>Kopiert die Dateien an den Zielort und benennt sie dann um</translation>
    </message>
    <message>
        <source>Destination Folder:</source>
        <translation>Zielordner:</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>Browse to destination folder</source>
        <translation>Zielordner suchen</translation>
    </message>
    <message>
        <source>Choose Source Folder</source>
        <translation>Quellordner wählen</translation>
    </message>
</context>
<context>
    <name>quorvan::CFilterSettingsDlg</name>
    <message>
        <source>Filter on Creation Date/Time:</source>
        <translation>Nach Erstellungsdatum/-zeit filtern:</translation>
    </message>
    <message>
        <source>Filter on Modified Date/Time:</source>
        <translation>Nach Änderungsdatum/-zeit filtern:</translation>
    </message>
    <message>
        <source>Filter on Last Accessed Date/Time:</source>
        <translation>Nach letztem Zugriff filtern:</translation>
    </message>
    <message>
        <source>Filter on Attributes:</source>
        <translation>Nach Attributen filtern:</translation>
    </message>
    <message>
        <source>Enables filtering on file attributes</source>
        <translation>Aktiviert das Filtern nach Dateiattributen</translation>
    </message>
    <message>
        <source>Filter on Times:</source>
        <translation>Nach Zeiten filtern:</translation>
    </message>
    <message>
        <source>Enables filtering on file dates and times</source>
        <translation>Aktiviert das Filtern nach Datum und Uhrzeit der Dateien</translation>
    </message>
    <message>
        <source>Filter on File Extensions:</source>
        <translation>Nach Dateiendungen filtern:</translation>
    </message>
    <message>
        <source>Enables filtering on file extensions</source>
        <translation>Aktiviert das Filtern nach Dateiendungen</translation>
    </message>
    <message>
        <source>Include files with the following attribute settings:</source>
        <translation>Dateien mit diesen Attributen einschließen:</translation>
    </message>
    <message>
        <source>Specifies attributes that files must match to be included in the renaming</source>
        <translation>Gibt die Attribute an, die Dateien haben müssen, um umbenannt zu werden</translation>
    </message>
    <message>
        <source>Exclude files with the following attribute settings:</source>
        <translation>Dateien mit diesen Attributen ausschließen:</translation>
    </message>
    <message>
        <source>Specifies attributes for files that should be excluded from the renaming</source>
        <translation>Gibt die Attribute der Dateien an, die vom Umbenennen ausgeschlossen werden</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Schreibgeschützt</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Versteckt</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archiv</translation>
    </message>
    <message>
        <source>Include:</source>
        <translation>Einschließen:</translation>
    </message>
    <message>
        <source>Exclude:</source>
        <translation>Ausschließen:</translation>
    </message>
    <message>
        <source>Specifies which file extensions should be included in renaming</source>
        <translation>Gibt an, welche Dateiendungen umbenannt werden</translation>
    </message>
    <message>
        <source>Specifies which file extensions should be excluded from renaming</source>
        <translation>Gibt an, welche Dateiendungen vom Umbenennen ausgeschlossen werden</translation>
    </message>
</context>
<context>
    <name>quorvan::CFilterStatusLabel</name>
    <message>
        <source>Filter on</source>
        <translation>Filter aktiv</translation>
    </message>
    <message>
        <source>Filter on: %1 of %2 files pass</source>
        <translation>Filter aktiv: %1 von %2 Dateien kommen durch</translation>
    </message>
    <message>
        <source>The filter on the Filter tab lets none of the %1 ticked files pass.</source>
        <translation>Der Filter auf der Seite „Filter“ lässt keine der %1 angekreuzten Dateien durch.</translation>
    </message>
</context>
<context>
    <name>quorvan::CHelpWindow</name>
    <message>
        <source>%1 Help</source>
        <translation>%1-Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Vorwärts</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>quorvan::CHistoryDlg</name>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Past runs</source>
        <translation>Frühere Läufe</translation>
    </message>
    <message>
        <source>&amp;Operations:</source>
        <translation>&amp;Vorgänge:</translation>
    </message>
    <message>
        <source>Operations of the selected run</source>
        <translation>Vorgänge des gewählten Laufs</translation>
    </message>
    <message>
        <source>&amp;Undo Run</source>
        <translation>Lauf &amp;rückgängig machen</translation>
    </message>
    <message>
        <source>Puts back what the selected run did, as far as nothing has changed since</source>
        <translation>Macht rückgängig, was der gewählte Lauf getan hat, soweit sich seither nichts geändert hat</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Runs:</source>
        <translation>&amp;Läufe:</translation>
    </message>
    <message>
        <source>No run has been recorded yet.</source>
        <translation>Noch kein Lauf aufgezeichnet.</translation>
    </message>
    <message>
        <source>&amp;Operations: reading the journal...</source>
        <translation>&amp;Vorgänge: Protokoll wird gelesen...</translation>
    </message>
    <message>
        <source>&amp;Operations: the journal cannot be read: %1</source>
        <translation>&amp;Vorgänge: Das Protokoll kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>&amp;Operations (%1):</source>
        <translation>&amp;Vorgänge (%1):</translation>
    </message>
    <message>
        <source>Undo the run of %1 in %2?

Renamed files get their old names back, copies it made go to the trash and files it replaced come back from the trash. A file changed or taken since is left alone.</source>
        <translation>Den Lauf vom %1 in %2 rückgängig machen?

Umbenannte Dateien erhalten ihre alten Namen zurück, seine Kopien kommen in den Papierkorb, und Dateien, die er ersetzt hat, kommen aus dem Papierkorb zurück. Eine seither geänderte oder belegte Datei bleibt unberührt.</translation>
    </message>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
</context>
<context>
    <name>quorvan::CMainDlg</name>
    <message>
        <source>Quorvan Files (*.qvr);;All Files (*)</source>
        <translation>Quorvan-Dateien (*.qvr);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Main folder from which to process files</source>
        <translation>Hauptordner, aus dem Dateien verarbeitet werden</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>Browse to the folder containing files to be renamed</source>
        <translation>Den Ordner mit den umzubenennenden Dateien suchen</translation>
    </message>
    <message>
        <source>(0 of 0 files selected)</source>
        <translation>(0 von 0 Dateien ausgewählt)</translation>
    </message>
    <message>
        <source>(0 files in preview)</source>
        <translation>(0 Dateien in der Vorschau)</translation>
    </message>
    <message>
        <source>Source Filename</source>
        <translation>Quelldateiname</translation>
    </message>
    <message>
        <source>Preview Filename</source>
        <translation>Vorschau-Dateiname</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <source>Generates a sample list of file names</source>
        <translation>Erzeugt eine Probeliste der Dateinamen</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;ktualisieren</translation>
    </message>
    <message>
        <source>Updates the source list box view</source>
        <translation>Aktualisiert die Quellliste</translation>
    </message>
    <message>
        <source>S&amp;elect All</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>Selects all the files in the source file list box</source>
        <translation>Wählt alle Dateien der Quellliste aus</translation>
    </message>
    <message>
        <source>&amp;Deselect All</source>
        <translation>Alle a&amp;bwählen</translation>
    </message>
    <message>
        <source>Deselects all the files in the source file list box</source>
        <translation>Wählt alle Dateien der Quellliste ab</translation>
    </message>
    <message>
        <source>&amp;Invert Selected</source>
        <translation>Auswahl &amp;umkehren</translation>
    </message>
    <message>
        <source>Inverts the selections in the source file list box</source>
        <translation>Kehrt die Auswahl in der Quellliste um</translation>
    </message>
    <message>
        <source>S&amp;tart</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>Executes the rename process</source>
        <translation>Führt das Umbenennen aus</translation>
    </message>
    <message>
        <source>&amp;Save Settings</source>
        <translation>Einstellungen s&amp;peichern</translation>
    </message>
    <message>
        <source>Saves the rename settings to a specified text file</source>
        <translation>Speichert die Einstellungen in einer Textdatei</translation>
    </message>
    <message>
        <source>&amp;Load Settings</source>
        <translation>Einstellungen &amp;laden</translation>
    </message>
    <message>
        <source>Loads the rename settings from a specified text file</source>
        <translation>Lädt die Einstellungen aus einer Textdatei</translation>
    </message>
    <message>
        <source>Hist&amp;ory...</source>
        <translation>Verlau&amp;f...</translation>
    </message>
    <message>
        <source>Lists past runs and undoes one of them</source>
        <translation>Listet frühere Läufe auf und macht einen davon rückgängig</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>B&amp;eenden</translation>
    </message>
    <message>
        <source>Source Folder:</source>
        <translation>Quellordner:</translation>
    </message>
    <message>
        <source>Source File List:</source>
        <translation>Quelldateien:</translation>
    </message>
    <message>
        <source>Preview File List:</source>
        <translation>Vorschau:</translation>
    </message>
    <message>
        <source>%1 of %2 files selected</source>
        <translation>%1 von %2 Dateien ausgewählt</translation>
    </message>
    <message>
        <source>Choose Source Folder</source>
        <translation>Quellordner wählen</translation>
    </message>
    <message>
        <source>(%1 files in preview, %2 cannot be renamed)</source>
        <translation>(%1 Dateien in der Vorschau, %2 nicht umbenennbar)</translation>
    </message>
    <message>
        <source>(%1 files in preview)</source>
        <translation>(%1 Dateien in der Vorschau)</translation>
    </message>
    <message>
        <source>With the &quot;Include Subfolders&quot; option set, the preview
generation can take a while depending upon the number
of files in the sub folders.

Do you wish to proceed?</source>
        <translation>Mit der Option „Unterordner einbeziehen“ kann das Erstellen
der Vorschau je nach Anzahl der Dateien in den Unterordnern
eine Weile dauern.

Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>Issue...</source>
        <translation>Problem...</translation>
    </message>
    <message>
        <source>No files have been selected.</source>
        <translation>Es sind keine Dateien ausgewählt.</translation>
    </message>
    <message>
        <source>The settings could not be loaded from %1:
%2</source>
        <translation>Die Einstellungen konnten nicht aus %1 geladen werden:
%2</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1:
%2</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden:
%2</translation>
    </message>
    <message>
        <source>These files or folders do not exist and were left out:
%1</source>
        <translation>Diese Dateien oder Ordner gibt es nicht; sie wurden ausgelassen:
%1</translation>
    </message>
    <message>
        <source>More Rules</source>
        <translation>Weitere Regeln</translation>
    </message>
    <message>
        <source>Live previe&amp;w</source>
        <translation>Live-Vorschau</translation>
    </message>
    <message>
        <source>Updates the preview list by itself after every change of the rules or of the selected files</source>
        <translation>Aktualisiert die Vorschauliste nach jeder Änderung der Regeln oder der ausgewählten Dateien von selbst</translation>
    </message>
    <message>
        <source>Updating preview…</source>
        <translation>Vorschau wird aktualisiert…</translation>
    </message>
</context>
<context>
    <name>quorvan::CMoreRulesPage</name>
    <message>
        <source>Positions</source>
        <translation>Positionen</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>Entfe&amp;rnen</translation>
    </message>
    <message>
        <source>Removes characters from the name (the extension stays)</source>
        <translation>Entfernt Zeichen aus dem Namen (die Endung bleibt)</translation>
    </message>
    <message>
        <source>How many characters to remove</source>
        <translation>Wie viele Zeichen entfernt werden</translation>
    </message>
    <message>
        <source>1 is the first character; -1 the last, counted from the end</source>
        <translation>1 ist das erste Zeichen; -1 das letzte, vom Ende gezählt</translation>
    </message>
    <message>
        <source>I&amp;nsert</source>
        <translation>Einfü&amp;gen</translation>
    </message>
    <message>
        <source>Inserts text into the name (the extension stays)</source>
        <translation>Fügt Text in den Namen ein (die Endung bleibt)</translation>
    </message>
    <message>
        <source>The text to insert</source>
        <translation>Der einzufügende Text</translation>
    </message>
    <message>
        <source>1 puts the text first; -1 after the last character</source>
        <translation>1 setzt den Text an den Anfang; -1 hinter das letzte Zeichen</translation>
    </message>
    <message>
        <source>characters from position</source>
        <translation>Zeichen ab Position</translation>
    </message>
    <message>
        <source>at position</source>
        <translation>an Position</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Regulärer Ausdruck</translation>
    </message>
    <message>
        <source>Replace with re&amp;gular expression:</source>
        <translation>Durch regulären Ausdruck erset&amp;zen:</translation>
    </message>
    <message>
        <source>Replaces every match of the pattern (PCRE2 syntax)</source>
        <translation>Ersetzt jeden Treffer des Musters (PCRE2-Syntax)</translation>
    </message>
    <message>
        <source>For example ^IMG_(\d{4})(\d{2})(\d{2})</source>
        <translation>Zum Beispiel ^IMG_(\d{4})(\d{2})(\d{2})</translation>
    </message>
    <message>
        <source>$1, ${2} or ${name} stand for a group, $$ for a dollar sign</source>
        <translation>$1, ${2} oder ${name} stehen für eine Gruppe, $$ für ein Dollarzeichen</translation>
    </message>
    <message>
        <source>with:</source>
        <translation>durch:</translation>
    </message>
    <message>
        <source>Ignore &amp;case</source>
        <translation>Gr&amp;oß-/Kleinschreibung ignorieren</translation>
    </message>
    <message>
        <source>Matches upper and lower case alike</source>
        <translation>Groß- und Kleinbuchstaben gelten gleich</translation>
    </message>
    <message>
        <source>Incl&amp;ude the extension</source>
        <translation>E&amp;ndung einbeziehen</translation>
    </message>
    <message>
        <source>Matches the whole name; otherwise only the part before the extension</source>
        <translation>Durchsucht den ganzen Namen, sonst nur den Teil vor der Endung</translation>
    </message>
    <message>
        <source>Clean-up</source>
        <translation>Aufräumen</translation>
    </message>
    <message>
        <source>Replace runs of blan&amp;ks with:</source>
        <translation>Leerzei&amp;chenfolgen ersetzen durch:</translation>
    </message>
    <message>
        <source>Each run of blanks and tabs becomes the text (empty removes it)</source>
        <translation>Jede Folge von Leerzeichen und Tabulatoren wird zu diesem Text (leer entfernt sie)</translation>
    </message>
    <message>
        <source>Remo&amp;ve accents</source>
        <translation>Akzen&amp;te entfernen</translation>
    </message>
    <message>
        <source>&quot;Crème Brûlée&quot; becomes &quot;Creme Brulee&quot;</source>
        <translation>„Crème Brûlée“ wird zu „Creme Brulee“</translation>
    </message>
    <message>
        <source>Transliterate to ASCII</source>
        <translation>In ASCII umschreiben</translation>
    </message>
    <message>
        <source>Writes other scripts in Latin letters: &quot;Привет&quot; becomes &quot;Privet&quot;</source>
        <translation>Schreibt andere Schriften in lateinischen Buchstaben: „Привет“ wird zu „Privet“</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>NFC</source>
        <translation>NFC</translation>
    </message>
    <message>
        <source>NFD</source>
        <translation>NFD</translation>
    </message>
    <message>
        <source>NFC composes accented letters, NFD decomposes them (as macOS stores names)</source>
        <translation>NFC setzt Buchstaben mit Akzent zusammen, NFD zerlegt sie (wie macOS Namen speichert)</translation>
    </message>
    <message>
        <source>Trim blanks and dots at both ends</source>
        <translation>Leerzeichen/Punkte am Rand entfernen</translation>
    </message>
    <message>
        <source>Removes blanks and dots around the name</source>
        <translation>Entfernt Leerzeichen und Punkte rund um den Namen</translation>
    </message>
    <message>
        <source>Unicode &amp;form:</source>
        <translation>Unicode-For&amp;m:</translation>
    </message>
    <message>
        <source>Case st&amp;yle</source>
        <translation>Schreib&amp;weise</translation>
    </message>
    <message>
        <source>Changes the case of the name and of the extension, last of all</source>
        <translation>Ändert zuletzt die Groß-/Kleinschreibung des Namens und der Endung</translation>
    </message>
    <message>
        <source>Unchanged</source>
        <translation>Unverändert</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Wörter Groß</translation>
    </message>
    <message>
        <source>Sentence case</source>
        <translation>Satzanfang groß</translation>
    </message>
    <message>
        <source>lowercase</source>
        <translation>kleinbuchstaben</translation>
    </message>
    <message>
        <source>UPPERCASE</source>
        <translation>GROSSBUCHSTABEN</translation>
    </message>
    <message>
        <source>iNVERT</source>
        <translation>uMKEHREN</translation>
    </message>
    <message>
        <source>Title Case starts every word after a blank, _, -, ., ( or [</source>
        <translation>„Wörter Groß“ beginnt jedes Wort nach Leerzeichen, _, -, ., ( oder [ groß</translation>
    </message>
    <message>
        <source>The case of the extension</source>
        <translation>Die Schreibweise der Endung</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Extension:</source>
        <translation>Endung:</translation>
    </message>
    <message>
        <source>Numbering order and step</source>
        <translation>Reihenfolge und Schritt der Nummerierung</translation>
    </message>
    <message>
        <source>In sequencing: which file gets which number. The files are renamed in their usual order all the same</source>
        <translation>Beim Nummerieren: welche Datei welche Nummer erhält. Umbenannt werden die Dateien dennoch in der üblichen Reihenfolge</translation>
    </message>
    <message>
        <source>path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>natural</source>
        <translation>natürlich</translation>
    </message>
    <message>
        <source>modification time</source>
        <translation>Änderungszeit</translation>
    </message>
    <message>
        <source>size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Natural order puts page2 before page10</source>
        <translation>Natürliche Reihenfolge setzt seite2 vor seite10</translation>
    </message>
    <message>
        <source>What each number adds to the one before; negative counts down</source>
        <translation>Was jede Nummer zur vorigen hinzuzählt; negativ zählt abwärts</translation>
    </message>
    <message>
        <source>Restart numbering in each folder</source>
        <translation>In jedem Ordner neu nummerieren</translation>
    </message>
    <message>
        <source>With subfolders included, each folder numbers from the start</source>
        <translation>Mit Unterordnern beginnt jeder Ordner die Nummerierung von vorn</translation>
    </message>
    <message>
        <source>Number in order of:</source>
        <translation>Nummerieren nach:</translation>
    </message>
    <message>
        <source>Step:</source>
        <translation>Schritt:</translation>
    </message>
    <message>
        <source>Name from template</source>
        <translation>Name aus Vorlage</translation>
    </message>
    <message>
        <source>Name from template:</source>
        <translation>Name aus Vorlage:</translation>
    </message>
    <message>
        <source>Builds the name from the file&apos;s own values: {taken:%Y-%m-%d}, {camera}, {artist}, {title}, {track:2}, {n:3}, {mtime}...; a &quot;/&quot; makes folders</source>
        <translation>Bildet den Namen aus den Angaben der Datei selbst: {taken:%Y-%m-%d}, {camera}, {artist}, {title}, {track:2}, {n:3}, {mtime}...; ein &quot;/&quot; legt Ordner an</translation>
    </message>
    <message>
        <source>For example {taken:%Y-%m-%d %H.%M.%S} or {track:2} - {artist} - {title}; {{ and }} stand for braces</source>
        <translation>Zum Beispiel {taken:%Y-%m-%d %H.%M.%S} oder {track:2} - {artist} - {title}; {{ und }} stehen für geschweifte Klammern</translation>
    </message>
    <message>
        <source>date taken</source>
        <translation>Aufnahmedatum</translation>
    </message>
</context>
<context>
    <name>quorvan::COperationsModel</name>
    <message>
        <source>Operation</source>
        <translation>Vorgang</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>quorvan::CProcessingDlg</name>
    <message>
        <source>Processing names...</source>
        <translation>Namen werden verarbeitet...</translation>
    </message>
    <message>
        <source>n/a</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Original File Name:</source>
        <translation>Ursprünglicher Dateiname:</translation>
    </message>
    <message>
        <source>Renamed File Name:</source>
        <translation>Neuer Dateiname:</translation>
    </message>
    <message>
        <source>Processed:</source>
        <translation>Verarbeitet:</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Error...</source>
        <translation>Fehler...</translation>
    </message>
</context>
<context>
    <name>quorvan::CProductInfoDlg</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Free to use. Always keep a copy of files you cannot replace.</source>
        <translation>Frei nutzbar. Bewahren Sie stets eine Kopie unersetzlicher Dateien auf.</translation>
    </message>
    <message>
        <source>Times Started:</source>
        <translation>Starts:</translation>
    </message>
    <message>
        <source>Times Used:</source>
        <translation>Läufe:</translation>
    </message>
    <message>
        <source>Files Processed:</source>
        <translation>Verarbeitete Dateien:</translation>
    </message>
    <message>
        <source>The number of times that the application has been started</source>
        <translation>Wie oft das Programm gestartet wurde</translation>
    </message>
    <message>
        <source>The number of times the rename process has been executed</source>
        <translation>Wie oft das Umbenennen ausgeführt wurde</translation>
    </message>
    <message>
        <source>The number of files that have been processed</source>
        <translation>Die Anzahl der verarbeiteten Dateien</translation>
    </message>
    <message>
        <source>Questions, ideas or problems? Send a mail to
quorvan@example.com and let us know.</source>
        <translation>Fragen, Ideen oder Probleme? Schreiben Sie an
quorvan@example.com und lassen Sie es uns wissen.</translation>
    </message>
    <message>
        <source>Also check out other downloads on our web site</source>
        <translation>Weitere Downloads finden Sie auf unserer Website</translation>
    </message>
    <message>
        <source>Also check out other downloads on our web site.</source>
        <translation>Weitere Downloads finden Sie auf unserer Website.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>quorvan::CReleaseChoiceDlg</name>
    <message>
        <source>Choose a release</source>
        <translation>Veröffentlichung wählen</translation>
    </message>
    <message>
        <source>Several releases hold this CD. Choose the one whose track titles to use:</source>
        <translation>Diese CD gehört zu mehreren Veröffentlichungen. Wählen Sie die, deren Titel verwendet werden sollen:</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Land</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
</context>
<context>
    <name>quorvan::CRenameSettingsDlg</name>
    <message>
        <source>Specifies the prefix to add to the file names</source>
        <translation>Gibt das Präfix an, das vor die Dateinamen gesetzt wird</translation>
    </message>
    <message>
        <source>Specifies the suffix to add to the file names (before the extension)</source>
        <translation>Gibt das Suffix an, das an die Dateinamen angehängt wird (vor der Endung)</translation>
    </message>
    <message>
        <source>Text Modifications:</source>
        <translation>Textänderungen:</translation>
    </message>
    <message>
        <source>Enables textual modifications</source>
        <translation>Aktiviert Änderungen am Text</translation>
    </message>
    <message>
        <source>Sequencing:</source>
        <translation>Nummerierung:</translation>
    </message>
    <message>
        <source>Enables numeric sequencing modifications</source>
        <translation>Aktiviert das Nummerieren</translation>
    </message>
    <message>
        <source>Add Prefix:</source>
        <translation>Präfix:</translation>
    </message>
    <message>
        <source>Add Suffix:</source>
        <translation>Suffix:</translation>
    </message>
    <message>
        <source>Change case:</source>
        <translation>Groß-/Kleinschreibung:</translation>
    </message>
    <message>
        <source>Changes the case of the file names to either upper or lower case</source>
        <translation>Setzt die Dateinamen ganz in Groß- oder ganz in Kleinbuchstaben</translation>
    </message>
    <message>
        <source>UPPERCASE</source>
        <translation>GROSSBUCHSTABEN</translation>
    </message>
    <message>
        <source>lowercase</source>
        <translation>kleinbuchstaben</translation>
    </message>
    <message>
        <source>Replace String:</source>
        <translation>Ersetzen:</translation>
    </message>
    <message>
        <source>Replaces instances of one string with another within the file names</source>
        <translation>Ersetzt in den Dateinamen jedes Vorkommen eines Textes durch einen anderen</translation>
    </message>
    <message>
        <source>with:</source>
        <translation>durch:</translation>
    </message>
    <message>
        <source>This search and replace is case sensitive</source>
        <translation>Groß-/Kleinschreibung wird beachtet</translation>
    </message>
    <message>
        <source>Sequence is a prefix</source>
        <translation>Nummer als Präfix</translation>
    </message>
    <message>
        <source>Specifies that the sequence is placed at the start of the file names</source>
        <translation>Setzt die Nummer an den Anfang der Dateinamen</translation>
    </message>
    <message>
        <source>Sequence is a suffix</source>
        <translation>Nummer als Suffix</translation>
    </message>
    <message>
        <source>Specifies that the sequence is placed at the end of the file names (before the extension)</source>
        <translation>Setzt die Nummer an das Ende der Dateinamen (vor der Endung)</translation>
    </message>
    <message>
        <source>Sequence replaces original file name</source>
        <translation>Nummer ersetzt den Dateinamen</translation>
    </message>
    <message>
        <source>Replaces the file names with the sequences</source>
        <translation>Ersetzt die Dateinamen durch die Nummern</translation>
    </message>
    <message>
        <source>Numeric Sequence:</source>
        <translation>Zahlenfolge:</translation>
    </message>
    <message>
        <source>Specifies that the sequencing should be numeric (1, 2, 3, etc...)</source>
        <translation>Nummeriert mit Zahlen (1, 2, 3 usw.)</translation>
    </message>
    <message>
        <source>Alpha Sequence:</source>
        <translation>Buchstabenfolge:</translation>
    </message>
    <message>
        <source>Specifies that the sequencing should be alpha-based (A, B, C, etc...)</source>
        <translation>Nummeriert mit Buchstaben (A, B, C usw.)</translation>
    </message>
    <message>
        <source>Start with:</source>
        <translation>Beginnen mit:</translation>
    </message>
    <message>
        <source>Digits:</source>
        <translation>Stellen:</translation>
    </message>
    <message>
        <source>Characters:</source>
        <translation>Zeichen:</translation>
    </message>
</context>
<context>
    <name>quorvan::CRetrievedTitlesModel</name>
    <message>
        <source>#</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Retrieved Name</source>
        <translation>Abgerufener Name</translation>
    </message>
    <message>
        <source>Length (mm:ss)</source>
        <translation>Länge (mm:ss)</translation>
    </message>
</context>
<context>
    <name>quorvan::CRunListModel</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
</context>
<context>
    <name>quorvan::CSelectedTracksModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>quorvan::CVantorTabControl</name>
    <message>
        <source>Rename Settings</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Extended Settings</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Attribute Settings</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>CD Audio Settings</source>
        <translation>CD-Audio</translation>
    </message>
    <message>
        <source>Filter Settings</source>
        <translation>Filter</translation>
    </message>
</context>
<context>
    <name>quorvan::CWaitDlg</name>
    <message>
        <source>Waiting for last file processing to complete...</source>
        <translation>Warten, bis die letzte Datei verarbeitet ist...</translation>
    </message>
</context>
<context>
    <name>quorvan::CoreTexts</name>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>Error...</source>
        <translation>Fehler...</translation>
    </message>
    <message>
        <source>Issue...</source>
        <translation>Problem...</translation>
    </message>
    <message>
        <source>Create folder?</source>
        <translation>Ordner erstellen?</translation>
    </message>
    <message>
        <source>The destination folder for the rename does not exist.
Do you wish to create this folder?</source>
        <translation>Der Zielordner für das Umbenennen existiert nicht.
Möchten Sie diesen Ordner erstellen?</translation>
    </message>
    <message>
        <source>There are no files to process.</source>
        <translation>Es gibt keine Dateien zu verarbeiten.</translation>
    </message>
    <message>
        <source>Rename process complete.</source>
        <translation>Umbenennen abgeschlossen.</translation>
    </message>
    <message>
        <source>Rename process aborted.</source>
        <translation>Umbenennen abgebrochen.</translation>
    </message>
    <message>
        <source>Unable to create processing thread.</source>
        <translation>Der Verarbeitungs-Thread kann nicht erstellt werden.</translation>
    </message>
    <message>
        <source>The previous rename process is still finishing. Please try again in a moment.</source>
        <translation>Das vorige Umbenennen wird noch abgeschlossen. Bitte versuchen Sie es gleich noch einmal.</translation>
    </message>
    <message>
        <source>Another rename run is working in this folder. Try again when it has finished.</source>
        <translation>In diesem Ordner läuft schon ein anderes Umbenennen. Versuchen Sie es erneut, wenn es beendet ist.</translation>
    </message>
    <message>
        <source>Unable to get this CD&apos;s information.</source>
        <translation>Die Angaben zu dieser CD können nicht abgerufen werden.</translation>
    </message>
    <message>
        <source>No CD drive is selected.</source>
        <translation>Kein CD-Laufwerk gewählt.</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>abgeschlossen</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>gescheitert</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>unterbrochen</translation>
    </message>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>undone</source>
        <translation>rückgängig gemacht</translation>
    </message>
    <message>
        <source>partly undone</source>
        <translation>teilweise rückgängig gemacht</translation>
    </message>
    <message>
        <source>kept</source>
        <translation>belassen</translation>
    </message>
</context>
<context>
    <name>quorvan::PageWidgets</name>
    <message>
        <source>Before</source>
        <translation>Vor</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Am</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Nach</translation>
    </message>
</context>
</TS>
