<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AntiFlicker</name>
    <message>
        <location filename="../../src/uicomm/AntiFlicker.cpp" line="+21"/>
        <source>Anti-Flicker</source>
        <translation>Flimmerreduzierung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>50Hz</source>
        <translation>50 Hz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>60Hz</source>
        <translation>60 Hz</translation>
    </message>
</context>
<context>
    <name>ButtonMode</name>
    <message>
        <location filename="../../src/zarvocam/ButtonMode.cpp" line="+20"/>
        <source>Button Configuration</source>
        <translation>Tastenbelegung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rotation</source>
        <translation>Rotation</translation>
    </message>
</context>
<context>
    <name>CamSettings</name>
    <message>
        <location filename="../../src/uicomm/CamSettings.ui" line="+14"/>
        <source>Camera Setting</source>
        <translation>Kameraeinstellungen</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Focus</source>
        <translation>Fokus</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+278"/>
        <location line="+514"/>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <location line="-736"/>
        <source>Auto Focus Mode</source>
        <translation>Autofokus-Modus</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+295"/>
        <source>Global</source>
        <translation>Global</translation>
    </message>
    <message>
        <location line="-276"/>
        <location line="+295"/>
        <source>Face</source>
        <translation>Gesicht</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Manual Focus</source>
        <translation>Manueller Fokus</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Exposure</source>
        <translation>Belichtung</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>Auto Exposure Mode</source>
        <translation>Automatische Belichtung</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Compensation</source>
        <translation>Korrektur</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Shutter Speed</source>
        <translation>Verschlusszeit</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Anti-Flicker</source>
        <translation>Flimmerreduzierung</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>50Hz</source>
        <translation>50 Hz</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>60Hz</source>
        <translation>60 Hz</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>White Balance</source>
        <translation>Weißabgleich</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Color Temperature</source>
        <translation>Farbtemperatur</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Contrast</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Saturation</source>
        <translation>Sättigung</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Sharpness</source>
        <translation>Schärfe</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Hue</source>
        <translation>Farbton</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>DevButton</name>
    <message>
        <location filename="../../src/uicomm/DevButton.cpp" line="+27"/>
        <location line="+70"/>
        <location line="+39"/>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <location line="-38"/>
        <source>Please input name</source>
        <translation>Bitte Namen eingeben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>DevSleep</name>
    <message>
        <location filename="../../src/uicomm/DevSleep.ui" line="+14"/>
        <source>Device Sleep</source>
        <translation>Geräte-Ruhezustand</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Device is sleeping</source>
        <translation>Gerät im Ruhezustand</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
</context>
<context>
    <name>DownloadProgress</name>
    <message>
        <location filename="../../src/uicomm/DownloadProgress.cpp" line="+15"/>
        <source>Downloading Firmware</source>
        <translation>Firmware wird heruntergeladen</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1MB/s - %2MB, total %3MB</source>
        <translation>%1MB/s - %2MB, gesamt %3MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>0MB/s - 0MB, total %1MB</source>
        <translation>0MB/s - 0MB, gesamt %1MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Download error!</source>
        <translation>Downloadfehler!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>0MB/s - %1MB, total %2MB</source>
        <translation>0MB/s - %1MB, gesamt %2MB</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Download timeout, please try again later!</source>
        <translation>Zeitüberschreitung beim Download, bitte später erneut versuchen!</translation>
    </message>
</context>
<context>
    <name>ForMoreUi</name>
    <message>
        <location filename="../../src/uicomm/ForMoreUi.cpp" line="+60"/>
        <source>Export Log</source>
        <translation>Protokoll exportieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware Upgrade</source>
        <translation>Firmware-Aktualisierung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upgrade Manual</source>
        <translation>Aktualisierungsanleitung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Restore Factory Settings</source>
        <translation>Werkseinstellungen wiederherstellen</translation>
    </message>
</context>
<context>
    <name>HotKeyList</name>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.ui" line="+14"/>
        <location line="+58"/>
        <source>Hotkeys List</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.cpp" line="+36"/>
        <source>Function</source>
        <translation>Funktion</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Global/Local shortcut switch</source>
        <translation>Globale/lokale Tastenkürzel umschalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 1</source>
        <translation>Gerät 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 2</source>
        <translation>Gerät 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 3</source>
        <translation>Gerät 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 4</source>
        <translation>Gerät 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Direction reset</source>
        <translation>Richtung zurücksetzen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom max</source>
        <translation>Maximaler Zoom</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom min</source>
        <translation>Minimaler Zoom</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move up</source>
        <translation>Ansicht nach oben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move down</source>
        <translation>Ansicht nach unten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move left</source>
        <translation>Ansicht nach links</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move right</source>
        <translation>Ansicht nach rechts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device Sleep/Resume</source>
        <translation>Gerät Ruhezustand/Fortsetzen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 65°</source>
        <translation>Sichtfeld 65°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 78°</source>
        <translation>Sichtfeld 78°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 86°</source>
        <translation>Sichtfeld 86°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: blur</source>
        <translation>Virtueller Hintergrund: Unschärfe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: green screen</source>
        <translation>Virtueller Hintergrund: Greenscreen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: replacement</source>
        <translation>Virtueller Hintergrund: Ersetzen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: single mode</source>
        <translation>Auto-Framing: Einzelmodus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: group mode</source>
        <translation>Auto-Framing: Gruppenmodus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Standard mode</source>
        <translation>Standardmodus</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hotkey</source>
        <translation>Tastenkürzel</translation>
    </message>
</context>
<context>
    <name>ImageCrop</name>
    <message>
        <location filename="../../src/zarvocam/ImageCrop.ui" line="+26"/>
        <source>Image Crop</source>
        <translation>Bild zuschneiden</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ImageItem</name>
    <message>
        <location filename="../../src/zarvocam/ImageItem.cpp" line="+60"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../../src/zarvocam/Language.cpp" line="+43"/>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
</context>
<context>
    <name>MainUserUi</name>
    <message>
        <location filename="../../src/zarvocam/MainUserUi.ui" line="+14"/>
        <source>KAVORA_ZarvoCam</source>
        <translation>KAVORA_ZarvoCam</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Camera Control</source>
        <translation>Kamerasteuerung</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>System Setting</source>
        <translation>Systemeinstellungen</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Device Status</source>
        <translation>Gerätestatus</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Sleep</source>
        <translation>Schlaf</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Auto Framing</source>
        <translation>Auto-Framing</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Single</source>
        <translation>Einzeln</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Close-up</source>
        <translation>Porträt</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Upper Body</source>
        <translation>Oberkörper</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Virtual Background</source>
        <translation>Virtueller Hintergrund</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Background Effect</source>
        <translation>Hintergrundeffekt</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blur</source>
        <translation>Unschärfe</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Green Screen</source>
        <translation>Greenscreen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Blur Level</source>
        <translation>Unschärfegrad</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Screen Color</source>
        <translation>Bildschirmfarbe</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Replace With</source>
        <translation>Ersetzen durch</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Field of View</source>
        <translation>Sichtfeld</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>86°</source>
        <translation>86°</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>78°</source>
        <translation>78°</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>65°</source>
        <translation>65°</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reset the view</source>
        <translation>Ansicht zurücksetzen</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUi.cpp" line="+281"/>
        <location filename="../../src/zarvocam/MainUserUiDevices.cpp" line="+72"/>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+429"/>
        <source>Virtual background will be turned off once the Auto Framing is activated, also adjustment of FoV, Zoom in/out and Direction will be disabled!</source>
        <translation>Sobald Auto-Framing aktiv ist, wird der virtuelle Hintergrund ausgeschaltet; Sichtfeld, Zoom und Richtung lassen sich dann nicht mehr einstellen!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Turn On</source>
        <translation>Einschalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="+147"/>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+157"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+6"/>
        <source>The Virtual background will automatically turn off once the AI Auto-framing is activated, and the adjustment of FoV, Zoom in/out and Direction will be disabled too.</source>
        <translation>Sobald das KI-gestützte Auto-Framing aktiv ist, schaltet sich der virtuelle Hintergrund aus; auch Sichtfeld, Zoom und Richtung lassen sich dann nicht einstellen.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Auto framing will be turned off once virtual background is activated.</source>
        <translation>Sobald der virtuelle Hintergrund aktiv ist, wird Auto-Framing ausgeschaltet.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please zoom in first before adjusting the direction.</source>
        <translation>Bitte zuerst hineinzoomen, dann die Richtung einstellen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Right click to delete the custom image. The default image cannot be deleted.</source>
        <translation>Mit einem Rechtsklick löschen Sie ein eigenes Bild. Das Standardbild kann nicht gelöscht werden.</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiSettings.cpp" line="+78"/>
        <location line="+10"/>
        <source>Restore Factory Settings</source>
        <translation>Werkseinstellungen wiederherstellen</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to reset all settings immediately?</source>
        <translation>Möchten Sie jetzt alle Einstellungen zurücksetzen?</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+9"/>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Device is restoring the factory settings, please waiting...</source>
        <translation>Das Gerät wird auf Werkseinstellungen zurückgesetzt, bitte warten …</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Factory reset successfully!</source>
        <translation>Werkseinstellungen erfolgreich wiederhergestellt!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="-51"/>
        <location line="+47"/>
        <source>Software upgrade info</source>
        <translation>Informationen zur Software-Aktualisierung</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>New software is available: </source>
        <translation>Neue Software verfügbar: </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Choose Storage Path</source>
        <translation>Speicherort wählen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Downloading Software</source>
        <translation>Software wird heruntergeladen</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>No package installer was found on this desktop. Please install the downloaded package yourself:
%1</source>
        <translation>Auf diesem Desktop wurde kein Paketinstallationsprogramm gefunden. Bitte installieren Sie das heruntergeladene Paket selbst:
%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No Device Connected</source>
        <translation>Kein Gerät verbunden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please insert device first and try again!</source>
        <translation>Bitte zuerst ein Gerät anschließen und erneut versuchen!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Current firmware is up to date!</source>
        <translation>Die Firmware ist auf dem neuesten Stand!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>New firmware is available: </source>
        <translation>Neue Firmware verfügbar: </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Firmware upgrade info</source>
        <translation>Informationen zur Firmware-Aktualisierung</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Downloading Firmware</source>
        <translation>Firmware wird heruntergeladen</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Cannot get latest firmware info from server!</source>
        <translation>Die neueste Firmware-Information ist vom Server nicht erhältlich!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiNetwork.cpp" line="+119"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+77"/>
        <source>Extracting Log</source>
        <translation>Protokoll wird ausgelesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+1"/>
        <source>Please wait and keep the device connected!</source>
        <translation>Bitte warten und das Gerät angeschlossen lassen!</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+5"/>
        <location line="+6"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+10"/>
        <source>Extract log failed, please try again later!</source>
        <translation>Protokoll konnte nicht ausgelesen werden, bitte später erneut versuchen!</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Extract the log file successfully and device will reboot now!</source>
        <translation>Protokolldatei erfolgreich ausgelesen, das Gerät wird jetzt neu gestartet!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPictures.cpp" line="+69"/>
        <source>Choose Background Image</source>
        <translation>Hintergrundbild wählen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image Files(*.jpg *.jpeg *.png *.bmp)</source>
        <translation>Bilddateien(*.jpg *.jpeg *.png *.bmp)</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Image Invalid</source>
        <translation>Ungültiges Bild</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid image and try again!</source>
        <translation>Bitte ein gültiges Bild wählen und erneut versuchen!</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Start Image Upload</source>
        <translation>Bild-Upload starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uploading image, please wait...</source>
        <translation>Bild wird hochgeladen, bitte warten...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Upload image successfully!</source>
        <translation>Bild erfolgreich hochgeladen!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Image upload failed, please try again!</source>
        <translation>Bild-Upload fehlgeschlagen, bitte erneut versuchen!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="-60"/>
        <source>Choose Firmware</source>
        <translation>Firmware wählen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Firmware Invalid</source>
        <translation>Ungültige Firmware</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid firmware package and try again!</source>
        <translation>Bitte ein gültiges Firmware-Paket wählen und erneut versuchen!</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Extract the log file successfully!</source>
        <translation>Protokolldatei erfolgreich ausgelesen!</translation>
    </message>
</context>
<context>
    <name>MsgInfoUi</name>
    <message>
        <location filename="../../src/uicomm/MsgInfoUi.ui" line="+26"/>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <location line="+128"/>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
</context>
<context>
    <name>MsgProgressUi</name>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.ui" line="+26"/>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+31"/>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Downloading firmware</source>
        <translation>Firmware wird heruntergeladen</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+8"/>
        <source>Progress info</source>
        <translation>Fortschrittsinformationen</translation>
    </message>
</context>
<context>
    <name>ScreenMode</name>
    <message>
        <location filename="../../src/uicomm/ScreenMode.cpp" line="+20"/>
        <source>Screen Mode</source>
        <translation>Bildschirmmodus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Landscape</source>
        <translation>Querformat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Portrait</source>
        <translation>Hochformat</translation>
    </message>
</context>
<context>
    <name>SystemSettingUi</name>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.ui" line="+14"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+590"/>
        <source>System Setting</source>
        <translation>Systemeinstellungen</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Software Version</source>
        <translation>Softwareversion</translation>
    </message>
    <message>
        <location line="+55"/>
        <location line="+117"/>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location line="-80"/>
        <source>Firmware Version</source>
        <translation>Firmwareversion</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>Device Auto Sleep</source>
        <translation>Automatischer Ruhemodus</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>When the system detects that the device is not in the streaming state, it will enter the sleep mode immediately.</source>
        <translation>Erkennt das System, dass das Gerät kein Video überträgt, wechselt es sofort in den Ruhemodus.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>When the KAVORA ZarvoCam software is not in use, it will enter the sleep mode after the following time.</source>
        <translation>Wird die Software KAVORA ZarvoCam nicht verwendet, wechselt das Gerät nach der folgenden Zeit in den Ruhemodus.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>30 s</source>
        <translation>30 s</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>2 min</source>
        <translation>2 min</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>10 min</source>
        <translation>10 min</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Camera Setting</source>
        <translation>Kameraeinstellungen</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Button Configuration</source>
        <translation>Tastenbelegung</translation>
    </message>
    <message>
        <location line="+54"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-321"/>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Anti-Flicker</source>
        <translation>Flimmerreduzierung</translation>
    </message>
    <message>
        <location line="+29"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+45"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Noise Reduction</source>
        <translation>Rauschunterdrückung</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Virtual Background</source>
        <translation>Virtueller Hintergrund</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Global Hotkeys</source>
        <translation>Globale Tastenkürzel</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Remote Controller</source>
        <translation>Fernbedienung</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>More</source>
        <translation>Mehr</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-45"/>
        <source>Rotation</source>
        <translation>Rotation</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>| Default</source>
        <translation>| Standard</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click</source>
        <translation>Klicken</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off auto-framing</source>
        <translation>Auto-Framing ein/aus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Click</source>
        <translation>Doppelklicken</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off virtual background  (blur/green screen/replacement)</source>
        <translation>Virtuellen Hintergrund ein/aus (Unschärfe/Greenscreen/Ersetzen)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Long press for 3 seconds</source>
        <translation>3 Sekunden gedrückt halten</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Sleep/Wake up the device</source>
        <translation>Gerät in den Ruhemodus versetzen/aufwecken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>| Rotation</source>
        <translation>| Rotation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Switch to next mode in the following order: standard-&gt;auto-framing-&gt;virtual background</source>
        <translation>Wechselt in dieser Reihenfolge zum nächsten Modus: Standard-&gt;Auto-Framing-&gt;Virtueller Hintergrund</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Button Mode Description</source>
        <translation>Beschreibung der Tastenmodi</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>50Hz</source>
        <translation>50 Hz</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>60Hz</source>
        <translation>60 Hz</translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+50"/>
        <location line="+23"/>
        <location line="+38"/>
        <source>Tips</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>The Virtual Background features are now in beta version and will give further updates to polish the effect.</source>
        <translation>Die Funktionen des virtuellen Hintergrunds sind noch in der Betaphase; weitere Aktualisierungen verbessern den Effekt.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>KAVORA Zarvo Remote Controller</source>
        <translation>KAVORA Zarvo Fernbedienung</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Compatible remote controller: %1</source>
        <translation>Passende Fernbedienung: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote control keys may conflict with some software shortcuts keys. In case of conflict, please turn off or change other software shortcuts keys.</source>
        <translation>Die Tasten der Fernbedienung können mit Tastenkürzeln anderer Software kollidieren. In diesem Fall schalten Sie die Tastenkürzel der anderen Software aus oder ändern Sie sie.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」</source>
        <translation>Zum Beispiel das Tastenkürzel「Bildschirmdrehung」des「Intel ® Graphics Control Centre」</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K during the upgrade, such as %1, etc.</source>
        <translation>Bitte schließen Sie während der Aktualisierung alle Anwendungen, die KAVORA Zarvo oder Zarvo 4K verwenden könnten, etwa %1 usw.</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Please upgrade to the v</source>
        <translation>Bitte aktualisieren Sie auf v</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> or higher for new features with your ZarvoCam.</source>
        <translation> oder höher, um die neuen Funktionen mit Ihrer ZarvoCam zu nutzen.</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
</context>
<context>
    <name>UpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UpgradeProgress.cpp" line="+15"/>
        <source>Start to upgrade. Please do not disconnect!</source>
        <translation>Aktualisierung startet. Bitte Verbindung nicht trennen!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning: Do not disconnect the device during upgrade, otherwise the device will crash!</source>
        <translation>Warnung: Trennen Sie das Gerät während der Aktualisierung nicht, sonst wird es beschädigt!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Upgrade successfully!</source>
        <translation>Aktualisierung erfolgreich!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>Aktualisierung fehlgeschlagen, bitte später erneut versuchen.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No response from device for a long time, please restart device and try again!</source>
        <translation>Das Gerät antwortet seit langem nicht, bitte neu starten und erneut versuchen!</translation>
    </message>
</context>
<context>
    <name>UvcUpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UvcUpgradeProgress.cpp" line="+24"/>
        <location line="+39"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>Aktualisierung fehlgeschlagen, bitte später erneut versuchen.</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Microsoft Teams, Skype, OBS Studio, etc.
</source>
        <translation>Warnung:
1 Trennen Sie das Gerät während der Aktualisierung nicht, sonst wird es beschädigt!
2 Schließen Sie während der Aktualisierung alle Anwendungen, die das Gerät verwenden könnten, etwa Zoom, Microsoft Teams, Skype, OBS Studio usw.
</translation>
    </message>
</context>
<context>
    <name>vexo::pc::UvcPatchUpgrade</name>
    <message>
        <location filename="../../src/uvc/UvcPatchUpgrade.cpp" line="+167"/>
        <location line="+38"/>
        <location line="+18"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>Aktualisierung fehlgeschlagen, bitte später erneut versuchen.</translation>
    </message>
    <message>
        <location line="-28"/>
        <location line="+975"/>
        <source>Warning: Please close any other programs that might use device!</source>
        <translation>Warnung: Bitte schließen Sie alle anderen Programme, die das Gerät verwenden könnten!</translation>
    </message>
    <message>
        <location line="-950"/>
        <source>The ugprade package is out of date.</source>
        <translation>Das Aktualisierungspaket ist veraltet.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upgrade successfully!</source>
        <translation>Aktualisierung erfolgreich!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Skype, Teams and OBS.
</source>
        <translation>Warnung:
1 Trennen Sie das Gerät während der Aktualisierung nicht, sonst wird es beschädigt!
2 Schließen Sie während der Aktualisierung alle Anwendungen, die das Gerät verwenden könnten, etwa Zoom, Skype, Teams und OBS.
</translation>
    </message>
</context>
</TS>
