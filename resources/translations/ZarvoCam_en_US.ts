<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>AntiFlicker</name>
    <message>
        <location filename="../../src/uicomm/AntiFlicker.cpp" line="+21"/>
        <source>Anti-Flicker</source>
        <translation>Anti-Flicker</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>50Hz</source>
        <translation>50Hz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>60Hz</source>
        <translation>60Hz</translation>
    </message>
</context>
<context>
    <name>ButtonMode</name>
    <message>
        <location filename="../../src/zarvocam/ButtonMode.cpp" line="+20"/>
        <source>Button Configuration</source>
        <translation>Button Configuration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default</source>
        <translation>Default</translation>
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
        <translation>Camera Setting</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Focus</source>
        <translation>Focus</translation>
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
        <translation>Auto Focus Mode</translation>
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
        <translation>Face</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Manual Focus</source>
        <translation>Manual Focus</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Exposure</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>Auto Exposure Mode</source>
        <translation>Auto Exposure Mode</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Compensation</source>
        <translation>Compensation</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Shutter Speed</source>
        <translation>Shutter Speed</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Anti-Flicker</source>
        <translation>Anti-Flicker</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>50Hz</source>
        <translation>50Hz</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>60Hz</source>
        <translation>60Hz</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>White Balance</source>
        <translation>White Balance</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Color Temperature</source>
        <translation>Color Temperature</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Contrast</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Saturation</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Sharpness</source>
        <translation>Sharpness</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Hue</source>
        <translation>Hue</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Done</source>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>DevButton</name>
    <message>
        <location filename="../../src/uicomm/DevButton.cpp" line="+27"/>
        <location line="+70"/>
        <location line="+39"/>
        <source>Rename</source>
        <translation>Rename</translation>
    </message>
    <message>
        <location line="-38"/>
        <source>Please input name</source>
        <translation>Please input name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>DevSleep</name>
    <message>
        <location filename="../../src/uicomm/DevSleep.ui" line="+14"/>
        <source>Device Sleep</source>
        <translation>Device Sleep</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Device is sleeping</source>
        <translation>Device is sleeping</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Resume</source>
        <translation>Resume</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
</context>
<context>
    <name>DownloadProgress</name>
    <message>
        <location filename="../../src/uicomm/DownloadProgress.cpp" line="+15"/>
        <source>Downloading Firmware</source>
        <translation>Downloading Firmware</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1MB/s - %2MB, total %3MB</source>
        <translation>%1MB/s - %2MB, total %3MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>0MB/s - 0MB, total %1MB</source>
        <translation>0MB/s - 0MB, total %1MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Download error!</source>
        <translation>Download error!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>0MB/s - %1MB, total %2MB</source>
        <translation>0MB/s - %1MB, total %2MB</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Download timeout, please try again later!</source>
        <translation>Download timeout, please try again later!</translation>
    </message>
</context>
<context>
    <name>ForMoreUi</name>
    <message>
        <location filename="../../src/uicomm/ForMoreUi.cpp" line="+60"/>
        <source>Export Log</source>
        <translation>Export Log</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware Upgrade</source>
        <translation>Firmware Upgrade</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upgrade Manual</source>
        <translation>Upgrade Manual</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Restore Factory Settings</source>
        <translation>Restore Factory Settings</translation>
    </message>
</context>
<context>
    <name>HotKeyList</name>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.ui" line="+14"/>
        <location line="+58"/>
        <source>Hotkeys List</source>
        <translation>Hotkeys List</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.cpp" line="+36"/>
        <source>Function</source>
        <translation>Function</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Global/Local shortcut switch</source>
        <translation>Global/Local shortcut switch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 1</source>
        <translation>Device 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 2</source>
        <translation>Device 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 3</source>
        <translation>Device 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 4</source>
        <translation>Device 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Direction reset</source>
        <translation>Direction reset</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom in</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom out</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom max</source>
        <translation>Zoom max</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom min</source>
        <translation>Zoom min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move up</source>
        <translation>View move up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move down</source>
        <translation>View move down</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move left</source>
        <translation>View move left</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move right</source>
        <translation>View move right</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device Sleep/Resume</source>
        <translation>Device Sleep/Resume</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 65°</source>
        <translation>View 65°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 78°</source>
        <translation>View 78°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 86°</source>
        <translation>View 86°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: blur</source>
        <translation>Virtual background: blur</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: green screen</source>
        <translation>Virtual background: green screen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: replacement</source>
        <translation>Virtual background: replacement</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: single mode</source>
        <translation>Auto framing: single mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: group mode</source>
        <translation>Auto framing: group mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Standard mode</source>
        <translation>Standard mode</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hotkey</source>
        <translation>Hotkey</translation>
    </message>
</context>
<context>
    <name>ImageCrop</name>
    <message>
        <location filename="../../src/zarvocam/ImageCrop.ui" line="+26"/>
        <source>Image Crop</source>
        <translation>Image Crop</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
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
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preview</source>
        <translation>Preview</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../../src/zarvocam/Language.cpp" line="+43"/>
        <source>Language</source>
        <translation>Language</translation>
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
        <translation>Camera Control</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>System Setting</source>
        <translation>System Setting</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Device Status</source>
        <translation>Device Status</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Sleep</source>
        <translation>Sleep</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Auto Framing</source>
        <translation>Auto Framing</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Group</source>
        <translation>Group</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Single</source>
        <translation>Single</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Close-up</source>
        <translation>Close-up</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Upper Body</source>
        <translation>Upper Body</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Virtual Background</source>
        <translation>Virtual Background</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>beta</source>
        <translation>beta</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Background Effect</source>
        <translation>Background Effect</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blur</source>
        <translation>Blur</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Green Screen</source>
        <translation>Green Screen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Replace</source>
        <translation>Replace</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Blur Level</source>
        <translation>Blur Level</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Screen Color</source>
        <translation>Screen Color</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blue</source>
        <translation>Blue</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Green</source>
        <translation>Green</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Replace With</source>
        <translation>Replace With</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Field of View</source>
        <translation>Field of View</translation>
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
        <translation>Direction</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reset the view</source>
        <translation>Reset the view</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUi.cpp" line="+281"/>
        <location filename="../../src/zarvocam/MainUserUiDevices.cpp" line="+72"/>
        <source>None</source>
        <translation>None</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+429"/>
        <source>Virtual background will be turned off once the Auto Framing is activated, also adjustment of FoV, Zoom in/out and Direction will be disabled!</source>
        <translation>Virtual background will be turned off once the Auto Framing is activated, also adjustment of FoV, Zoom in/out and Direction will be disabled!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Turn On</source>
        <translation>Turn On</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
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
        <translation>The Virtual background will automatically turn off once the AI Auto-framing is activated, and the adjustment of FoV, Zoom in/out and Direction will be disabled too.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Auto framing will be turned off once virtual background is activated.</source>
        <translation>Auto framing will be turned off once virtual background is activated.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please zoom in first before adjusting the direction.</source>
        <translation>Please zoom in first before adjusting the direction.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Right click to delete the custom image. The default image cannot be deleted.</source>
        <translation>Right click to delete the custom image. The default image cannot be deleted.</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiSettings.cpp" line="+78"/>
        <location line="+10"/>
        <source>Restore Factory Settings</source>
        <translation>Restore Factory Settings</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to reset all settings immediately?</source>
        <translation>Do you want to reset all settings immediately?</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+9"/>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Device is restoring the factory settings, please waiting...</source>
        <translation>Device is restoring the factory settings, please waiting...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Factory reset successfully!</source>
        <translation>Factory reset successfully!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="-51"/>
        <location line="+47"/>
        <source>Software upgrade info</source>
        <translation>Software upgrade info</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>New software is available: </source>
        <translation>New software is available: </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Choose Storage Path</source>
        <translation>Choose Storage Path</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Downloading Software</source>
        <translation>Downloading Software</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>No package installer was found on this desktop. Please install the downloaded package yourself:
%1</source>
        <translation>No package installer was found on this desktop. Please install the downloaded package yourself:
%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No Device Connected</source>
        <translation>No Device Connected</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please insert device first and try again!</source>
        <translation>Please insert device first and try again!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Current firmware is up to date!</source>
        <translation>Current firmware is up to date!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>New firmware is available: </source>
        <translation>New firmware is available: </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Firmware upgrade info</source>
        <translation>Firmware upgrade info</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Downloading Firmware</source>
        <translation>Downloading Firmware</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Cannot get latest firmware info from server!</source>
        <translation>Cannot get latest firmware info from server!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiNetwork.cpp" line="+119"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+77"/>
        <source>Extracting Log</source>
        <translation>Extracting Log</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+1"/>
        <source>Please wait and keep the device connected!</source>
        <translation>Please wait and keep the device connected!</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+5"/>
        <location line="+6"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+10"/>
        <source>Extract log failed, please try again later!</source>
        <translation>Extract log failed, please try again later!</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Extract the log file successfully and device will reboot now!</source>
        <translation>Extract the log file successfully and device will reboot now!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPictures.cpp" line="+69"/>
        <source>Choose Background Image</source>
        <translation>Choose Background Image</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image Files(*.jpg *.jpeg *.png *.bmp)</source>
        <translation>Image Files(*.jpg *.jpeg *.png *.bmp)</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Image Invalid</source>
        <translation>Image Invalid</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid image and try again!</source>
        <translation>Please select valid image and try again!</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Start Image Upload</source>
        <translation>Start Image Upload</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uploading image, please wait...</source>
        <translation>Uploading image, please wait...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Upload image successfully!</source>
        <translation>Upload image successfully!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Image upload failed, please try again!</source>
        <translation>Image upload failed, please try again!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="-60"/>
        <source>Choose Firmware</source>
        <translation>Choose Firmware</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Firmware Invalid</source>
        <translation>Firmware Invalid</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid firmware package and try again!</source>
        <translation>Please select valid firmware package and try again!</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Extract the log file successfully!</source>
        <translation>Extract the log file successfully!</translation>
    </message>
</context>
<context>
    <name>MsgInfoUi</name>
    <message>
        <location filename="../../src/uicomm/MsgInfoUi.ui" line="+26"/>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <location line="+128"/>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
</context>
<context>
    <name>MsgProgressUi</name>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.ui" line="+26"/>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+31"/>
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Downloading firmware</source>
        <translation>Downloading firmware</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+8"/>
        <source>Progress info</source>
        <translation>Progress info</translation>
    </message>
</context>
<context>
    <name>ScreenMode</name>
    <message>
        <location filename="../../src/uicomm/ScreenMode.cpp" line="+20"/>
        <source>Screen Mode</source>
        <translation>Screen Mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Landscape</source>
        <translation>Landscape</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Portrait</source>
        <translation>Portrait</translation>
    </message>
</context>
<context>
    <name>SystemSettingUi</name>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.ui" line="+14"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+590"/>
        <source>System Setting</source>
        <translation>System Setting</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Software Version</source>
        <translation>Software Version</translation>
    </message>
    <message>
        <location line="+55"/>
        <location line="+117"/>
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message>
        <location line="-80"/>
        <source>Firmware Version</source>
        <translation>Firmware Version</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>Device Auto Sleep</source>
        <translation>Device Auto Sleep</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>When the system detects that the device is not in the streaming state, it will enter the sleep mode immediately.</source>
        <translation>When the system detects that the device is not in the streaming state, it will enter the sleep mode immediately.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>When the KAVORA ZarvoCam software is not in use, it will enter the sleep mode after the following time.</source>
        <translation>When the KAVORA ZarvoCam software is not in use, it will enter the sleep mode after the following time.</translation>
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
        <translation>Camera Setting</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Button Configuration</source>
        <translation>Button Configuration</translation>
    </message>
    <message>
        <location line="+54"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-321"/>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Anti-Flicker</source>
        <translation>Anti-Flicker</translation>
    </message>
    <message>
        <location line="+29"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+45"/>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Noise Reduction</source>
        <translation>Noise Reduction</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Virtual Background</source>
        <translation>Virtual Background</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>beta</source>
        <translation>beta</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Global Hotkeys</source>
        <translation>Global Hotkeys</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Remote Controller</source>
        <translation>Remote Controller</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>More</source>
        <translation>More</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-45"/>
        <source>Rotation</source>
        <translation>Rotation</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>| Default</source>
        <translation>| Default</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click</source>
        <translation>Click</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off auto-framing</source>
        <translation>Turn on/off auto-framing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Click</source>
        <translation>Double Click</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off virtual background  (blur/green screen/replacement)</source>
        <translation>Turn on/off virtual background  (blur/green screen/replacement)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Long press for 3 seconds</source>
        <translation>Long press for 3 seconds</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Sleep/Wake up the device</source>
        <translation>Sleep/Wake up the device</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>| Rotation</source>
        <translation>| Rotation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Switch to next mode in the following order: standard-&gt;auto-framing-&gt;virtual background</source>
        <translation>Switch to next mode in the following order: standard-&gt;auto-framing-&gt;virtual background</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Button Mode Description</source>
        <translation>Button Mode Description</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>50Hz</source>
        <translation>50Hz</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>60Hz</source>
        <translation>60Hz</translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+50"/>
        <location line="+23"/>
        <location line="+38"/>
        <source>Tips</source>
        <translation>Tips</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>The Virtual Background features are now in beta version and will give further updates to polish the effect.</source>
        <translation>The Virtual Background features are now in beta version and will give further updates to polish the effect.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>KAVORA Zarvo Remote Controller</source>
        <translation>KAVORA Zarvo Remote Controller</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Compatible remote controller: %1</source>
        <translation>Compatible remote controller: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote control keys may conflict with some software shortcuts keys. In case of conflict, please turn off or change other software shortcuts keys.</source>
        <translation>The remote control keys may conflict with some software shortcuts keys. In case of conflict, please turn off or change other software shortcuts keys.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」</source>
        <translation>For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K during the upgrade, such as %1, etc.</source>
        <translation>Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K during the upgrade, such as %1, etc.</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Please upgrade to the v</source>
        <translation>Please upgrade to the v</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> or higher for new features with your ZarvoCam.</source>
        <translation> or higher for new features with your ZarvoCam.</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
</context>
<context>
    <name>UpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UpgradeProgress.cpp" line="+15"/>
        <source>Start to upgrade. Please do not disconnect!</source>
        <translation>Start to upgrade. Please do not disconnect!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning: Do not disconnect the device during upgrade, otherwise the device will crash!</source>
        <translation>Warning: Do not disconnect the device during upgrade, otherwise the device will crash!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Upgrade successfully!</source>
        <translation>Upgrade successfully!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>Upgrade failed, please try again later.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No response from device for a long time, please restart device and try again!</source>
        <translation>No response from device for a long time, please restart device and try again!</translation>
    </message>
</context>
<context>
    <name>UvcUpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UvcUpgradeProgress.cpp" line="+24"/>
        <location line="+39"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>Upgrade failed, please try again later.</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Microsoft Teams, Skype, OBS Studio, etc.
</source>
        <translation>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Microsoft Teams, Skype, OBS Studio, etc.
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
        <translation>Upgrade failed, please try again later.</translation>
    </message>
    <message>
        <location line="-28"/>
        <location line="+975"/>
        <source>Warning: Please close any other programs that might use device!</source>
        <translation>Warning: Please close any other programs that might use device!</translation>
    </message>
    <message>
        <location line="-950"/>
        <source>The ugprade package is out of date.</source>
        <translation>The ugprade package is out of date.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upgrade successfully!</source>
        <translation>Upgrade successfully!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Skype, Teams and OBS.
</source>
        <translation>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Skype, Teams and OBS.
</translation>
    </message>
</context>
</TS>
