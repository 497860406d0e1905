<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_HK">
<context>
    <name>AntiFlicker</name>
    <message>
        <location filename="../../src/uicomm/AntiFlicker.cpp" line="+21"/>
        <source>Anti-Flicker</source>
        <translation>抗閃爍</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Off</source>
        <translation>關閉</translation>
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
        <translation>按鍵設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default</source>
        <translation>預設</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rotation</source>
        <translation>輪換</translation>
    </message>
</context>
<context>
    <name>CamSettings</name>
    <message>
        <location filename="../../src/uicomm/CamSettings.ui" line="+14"/>
        <source>Camera Setting</source>
        <translation>相機設定</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Focus</source>
        <translation>對焦</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+278"/>
        <location line="+514"/>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <location line="-736"/>
        <source>Auto Focus Mode</source>
        <translation>自動對焦模式</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+295"/>
        <source>Global</source>
        <translation>全域</translation>
    </message>
    <message>
        <location line="-276"/>
        <location line="+295"/>
        <source>Face</source>
        <translation>人臉</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Manual Focus</source>
        <translation>手動對焦</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Exposure</source>
        <translation>曝光</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>Auto Exposure Mode</source>
        <translation>自動曝光模式</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Compensation</source>
        <translation>曝光補償</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Shutter Speed</source>
        <translation>快門速度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Anti-Flicker</source>
        <translation>抗閃爍</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Off</source>
        <translation>關閉</translation>
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
        <translation>白平衡</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Color Temperature</source>
        <translation>色溫</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Image</source>
        <translation>影像</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Contrast</source>
        <translation>對比度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Saturation</source>
        <translation>飽和度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Sharpness</source>
        <translation>銳利度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Hue</source>
        <translation>色調</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>DevButton</name>
    <message>
        <location filename="../../src/uicomm/DevButton.cpp" line="+27"/>
        <location line="+70"/>
        <location line="+39"/>
        <source>Rename</source>
        <translation>重新命名</translation>
    </message>
    <message>
        <location line="-38"/>
        <source>Please input name</source>
        <translation>請輸入名稱</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>DevSleep</name>
    <message>
        <location filename="../../src/uicomm/DevSleep.ui" line="+14"/>
        <source>Device Sleep</source>
        <translation>裝置休眠</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Device is sleeping</source>
        <translation>裝置已休眠</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Resume</source>
        <translation>喚醒</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Connect</source>
        <translation>連接</translation>
    </message>
</context>
<context>
    <name>DownloadProgress</name>
    <message>
        <location filename="../../src/uicomm/DownloadProgress.cpp" line="+15"/>
        <source>Downloading Firmware</source>
        <translation>正在下載韌體</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1MB/s - %2MB, total %3MB</source>
        <translation>%1MB/s - %2MB，共 %3MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>0MB/s - 0MB, total %1MB</source>
        <translation>0MB/s - 0MB，共 %1MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Download error!</source>
        <translation>下載出錯！</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>0MB/s - %1MB, total %2MB</source>
        <translation>0MB/s - %1MB，共 %2MB</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Download timeout, please try again later!</source>
        <translation>下載逾時，請稍後再試！</translation>
    </message>
</context>
<context>
    <name>ForMoreUi</name>
    <message>
        <location filename="../../src/uicomm/ForMoreUi.cpp" line="+60"/>
        <source>Export Log</source>
        <translation>匯出日誌</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware Upgrade</source>
        <translation>韌體升級</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upgrade Manual</source>
        <translation>升級手冊</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Restore Factory Settings</source>
        <translation>恢復原廠設定</translation>
    </message>
</context>
<context>
    <name>HotKeyList</name>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.ui" line="+14"/>
        <location line="+58"/>
        <source>Hotkeys List</source>
        <translation>快速鍵清單</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.cpp" line="+36"/>
        <source>Function</source>
        <translation>功能</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Global/Local shortcut switch</source>
        <translation>全域/本機快速鍵切換</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 1</source>
        <translation>裝置 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 2</source>
        <translation>裝置 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 3</source>
        <translation>裝置 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 4</source>
        <translation>裝置 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Direction reset</source>
        <translation>方向重設</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom out</source>
        <translation>縮小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom max</source>
        <translation>最大變焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom min</source>
        <translation>最小變焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move up</source>
        <translation>視角上移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move down</source>
        <translation>視角下移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move left</source>
        <translation>視角左移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move right</source>
        <translation>視角右移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device Sleep/Resume</source>
        <translation>裝置休眠/喚醒</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 65°</source>
        <translation>視野角度 65°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 78°</source>
        <translation>視野角度 78°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 86°</source>
        <translation>視野角度 86°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: blur</source>
        <translation>虛擬背景：模糊</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: green screen</source>
        <translation>虛擬背景：綠幕</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: replacement</source>
        <translation>虛擬背景：替換</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: single mode</source>
        <translation>自動取景：單人模式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: group mode</source>
        <translation>自動取景：多人模式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Standard mode</source>
        <translation>標準模式</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hotkey</source>
        <translation>快速鍵</translation>
    </message>
</context>
<context>
    <name>ImageCrop</name>
    <message>
        <location filename="../../src/zarvocam/ImageCrop.ui" line="+26"/>
        <source>Image Crop</source>
        <translation>圖片裁剪</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>OK</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>ImageItem</name>
    <message>
        <location filename="../../src/zarvocam/ImageItem.cpp" line="+60"/>
        <source>Delete</source>
        <translation>刪除</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preview</source>
        <translation>預覽</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../../src/zarvocam/Language.cpp" line="+43"/>
        <source>Language</source>
        <translation>語言</translation>
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
        <translation>相機控制</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>System Setting</source>
        <translation>系統設定</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Device</source>
        <translation>裝置</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Device Status</source>
        <translation>裝置狀態</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Sleep</source>
        <translation>休眠</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Zoom</source>
        <translation>變焦</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Auto Framing</source>
        <translation>自動取景</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Group</source>
        <translation>多人</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Single</source>
        <translation>單人</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Close-up</source>
        <translation>特寫</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Upper Body</source>
        <translation>半身</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Virtual Background</source>
        <translation>虛擬背景</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Background Effect</source>
        <translation>背景效果</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blur</source>
        <translation>模糊</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Green Screen</source>
        <translation>綠幕</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Replace</source>
        <translation>替換</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Blur Level</source>
        <translation>模糊程度</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Screen Color</source>
        <translation>幕布顏色</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blue</source>
        <translation>藍色</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Green</source>
        <translation>綠色</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Replace With</source>
        <translation>替換為</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Field of View</source>
        <translation>視野角度</translation>
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
        <translation>方向</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reset the view</source>
        <translation>重設視角</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUi.cpp" line="+281"/>
        <location filename="../../src/zarvocam/MainUserUiDevices.cpp" line="+72"/>
        <source>None</source>
        <translation>無</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+429"/>
        <source>Virtual background will be turned off once the Auto Framing is activated, also adjustment of FoV, Zoom in/out and Direction will be disabled!</source>
        <translation>開啟自動取景後，虛擬背景將關閉，視野角度、變焦和方向調整也將無法使用！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Turn On</source>
        <translation>開啟</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="+147"/>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+157"/>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+6"/>
        <source>The Virtual background will automatically turn off once the AI Auto-framing is activated, and the adjustment of FoV, Zoom in/out and Direction will be disabled too.</source>
        <translation>開啟 AI 自動取景後，虛擬背景將自動關閉，視野角度、變焦和方向調整也將無法使用。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Auto framing will be turned off once virtual background is activated.</source>
        <translation>開啟虛擬背景後，自動取景將關閉。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please zoom in first before adjusting the direction.</source>
        <translation>請先放大畫面，再調整方向。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Right click to delete the custom image. The default image cannot be deleted.</source>
        <translation>按右鍵可刪除自訂圖片，預設圖片無法刪除。</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiSettings.cpp" line="+78"/>
        <location line="+10"/>
        <source>Restore Factory Settings</source>
        <translation>恢復原廠設定</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to reset all settings immediately?</source>
        <translation>是否立即重設所有設定？</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+9"/>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Device is restoring the factory settings, please waiting...</source>
        <translation>裝置正在恢復原廠設定，請稍候……</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Factory reset successfully!</source>
        <translation>恢復原廠設定成功！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="-51"/>
        <location line="+47"/>
        <source>Software upgrade info</source>
        <translation>軟體升級資訊</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>New software is available: </source>
        <translation>有新版本軟體可用：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Choose Storage Path</source>
        <translation>選擇儲存路徑</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Downloading Software</source>
        <translation>正在下載軟體</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>No package installer was found on this desktop. Please install the downloaded package yourself:
%1</source>
        <translation>此桌面上找不到套件安裝程式，請自行安裝已下載的套件：
%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No Device Connected</source>
        <translation>未連接裝置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please insert device first and try again!</source>
        <translation>請先連接裝置後再試一次！</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Current firmware is up to date!</source>
        <translation>目前韌體已是最新版本！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>New firmware is available: </source>
        <translation>有新版本韌體可用：</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Firmware upgrade info</source>
        <translation>韌體升級資訊</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Downloading Firmware</source>
        <translation>正在下載韌體</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Cannot get latest firmware info from server!</source>
        <translation>無法從伺服器取得最新韌體資訊！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiNetwork.cpp" line="+119"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+77"/>
        <source>Extracting Log</source>
        <translation>正在匯出日誌</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+1"/>
        <source>Please wait and keep the device connected!</source>
        <translation>請稍候，並保持裝置連接！</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+5"/>
        <location line="+6"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+10"/>
        <source>Extract log failed, please try again later!</source>
        <translation>匯出日誌失敗，請稍後再試！</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Extract the log file successfully and device will reboot now!</source>
        <translation>日誌檔案匯出成功，裝置即將重新啟動！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPictures.cpp" line="+69"/>
        <source>Choose Background Image</source>
        <translation>選擇背景圖片</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image Files(*.jpg *.jpeg *.png *.bmp)</source>
        <translation>圖片檔案(*.jpg *.jpeg *.png *.bmp)</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Image Invalid</source>
        <translation>圖片無效</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid image and try again!</source>
        <translation>請選擇有效的圖片後再試一次！</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Start Image Upload</source>
        <translation>開始上傳圖片</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uploading image, please wait...</source>
        <translation>正在上傳圖片，請稍候...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Upload image successfully!</source>
        <translation>圖片上傳成功！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Image upload failed, please try again!</source>
        <translation>圖片上傳失敗，請再試一次！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="-60"/>
        <source>Choose Firmware</source>
        <translation>選擇韌體</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Firmware Invalid</source>
        <translation>韌體無效</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid firmware package and try again!</source>
        <translation>請選擇有效的韌體套件後再試一次！</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Extract the log file successfully!</source>
        <translation>日誌檔案匯出成功！</translation>
    </message>
</context>
<context>
    <name>MsgInfoUi</name>
    <message>
        <location filename="../../src/uicomm/MsgInfoUi.ui" line="+26"/>
        <source>Message</source>
        <translation>訊息</translation>
    </message>
    <message>
        <location line="+128"/>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Yes</source>
        <translation>是</translation>
    </message>
</context>
<context>
    <name>MsgProgressUi</name>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.ui" line="+26"/>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+31"/>
        <source>Progress</source>
        <translation>進度</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Downloading firmware</source>
        <translation>正在下載韌體</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+8"/>
        <source>Progress info</source>
        <translation>進度資訊</translation>
    </message>
</context>
<context>
    <name>ScreenMode</name>
    <message>
        <location filename="../../src/uicomm/ScreenMode.cpp" line="+20"/>
        <source>Screen Mode</source>
        <translation>螢幕模式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Landscape</source>
        <translation>橫向</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Portrait</source>
        <translation>直向</translation>
    </message>
</context>
<context>
    <name>SystemSettingUi</name>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.ui" line="+14"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+590"/>
        <source>System Setting</source>
        <translation>系統設定</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Software Version</source>
        <translation>軟體版本</translation>
    </message>
    <message>
        <location line="+55"/>
        <location line="+117"/>
        <source>Update</source>
        <translation>更新</translation>
    </message>
    <message>
        <location line="-80"/>
        <source>Firmware Version</source>
        <translation>韌體版本</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>Device Auto Sleep</source>
        <translation>裝置自動休眠</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>When the system detects that the device is not in the streaming state, it will enter the sleep mode immediately.</source>
        <translation>當系統偵測到裝置未處於串流狀態時，將立即進入休眠模式。</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>When the KAVORA ZarvoCam software is not in use, it will enter the sleep mode after the following time.</source>
        <translation>當 KAVORA ZarvoCam 軟體未被使用時，將在以下時間後進入休眠模式。</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>30 s</source>
        <translation>30 秒</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>2 min</source>
        <translation>2 分鐘</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>10 min</source>
        <translation>10 分鐘</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Camera Setting</source>
        <translation>相機設定</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Button Configuration</source>
        <translation>按鍵設定</translation>
    </message>
    <message>
        <location line="+54"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-321"/>
        <source>Default</source>
        <translation>預設</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Anti-Flicker</source>
        <translation>抗閃爍</translation>
    </message>
    <message>
        <location line="+29"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+45"/>
        <source>Off</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Noise Reduction</source>
        <translation>降噪</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Virtual Background</source>
        <translation>虛擬背景</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Global Hotkeys</source>
        <translation>全域快速鍵</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Remote Controller</source>
        <translation>遙控器</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>Language</source>
        <translation>語言</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>More</source>
        <translation>更多</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-45"/>
        <source>Rotation</source>
        <translation>輪換</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>| Default</source>
        <translation>| 預設</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click</source>
        <translation>單擊</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off auto-framing</source>
        <translation>開啟/關閉自動取景</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Click</source>
        <translation>雙擊</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off virtual background  (blur/green screen/replacement)</source>
        <translation>開啟/關閉虛擬背景（模糊/綠幕/替換）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Long press for 3 seconds</source>
        <translation>長按 3 秒</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Sleep/Wake up the device</source>
        <translation>裝置休眠/喚醒</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>| Rotation</source>
        <translation>| 輪換</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Switch to next mode in the following order: standard-&gt;auto-framing-&gt;virtual background</source>
        <translation>依以下順序切換至下一模式：標準-&gt;自動取景-&gt;虛擬背景</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Button Mode Description</source>
        <translation>按鍵模式說明</translation>
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
        <translation>提示</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>The Virtual Background features are now in beta version and will give further updates to polish the effect.</source>
        <translation>虛擬背景功能目前為測試版，後續將持續更新以改善效果。</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>KAVORA Zarvo Remote Controller</source>
        <translation>KAVORA Zarvo 遙控器</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Compatible remote controller: %1</source>
        <translation>相容的遙控器：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote control keys may conflict with some software shortcuts keys. In case of conflict, please turn off or change other software shortcuts keys.</source>
        <translation>遙控器按鍵可能與某些軟體的快速鍵衝突。如有衝突，請關閉或變更其他軟體的快速鍵。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」</source>
        <translation>例如「Intel ® 顯示卡控制中心」的「螢幕旋轉」快速鍵</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K during the upgrade, such as %1, etc.</source>
        <translation>升級期間請確保關閉所有可能使用 KAVORA Zarvo 或 Zarvo 4K 的應用程式，例如 %1 等。</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Please upgrade to the v</source>
        <translation>請升級至 v</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> or higher for new features with your ZarvoCam.</source>
        <translation> 或更高版本，以便在 ZarvoCam 上使用新功能。</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Yes</source>
        <translation>是</translation>
    </message>
</context>
<context>
    <name>UpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UpgradeProgress.cpp" line="+15"/>
        <source>Start to upgrade. Please do not disconnect!</source>
        <translation>開始升級，請勿中斷連接！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning: Do not disconnect the device during upgrade, otherwise the device will crash!</source>
        <translation>警告：升級過程中請勿中斷裝置連接，否則裝置將會損壞！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Upgrade successfully!</source>
        <translation>升級成功！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>升級失敗，請稍後再試。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No response from device for a long time, please restart device and try again!</source>
        <translation>裝置長時間無回應，請重新啟動裝置後再試一次！</translation>
    </message>
</context>
<context>
    <name>UvcUpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UvcUpgradeProgress.cpp" line="+24"/>
        <location line="+39"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>升級失敗，請稍後再試。</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Microsoft Teams, Skype, OBS Studio, etc.
</source>
        <translation>警告：
1 升級過程中請勿中斷裝置連接，否則裝置將會損壞！
2 升級期間請關閉所有可能使用該裝置的應用程式，例如 Zoom、Microsoft Teams、Skype、OBS Studio 等。
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
        <translation>升級失敗，請稍後再試。</translation>
    </message>
    <message>
        <location line="-28"/>
        <location line="+975"/>
        <source>Warning: Please close any other programs that might use device!</source>
        <translation>警告：請關閉其他可能使用該裝置的程式！</translation>
    </message>
    <message>
        <location line="-950"/>
        <source>The ugprade package is out of date.</source>
        <translation>升級套件已過期。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upgrade successfully!</source>
        <translation>升級成功！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Skype, Teams and OBS.
</source>
        <translation>警告：
1 升級過程中請勿中斷裝置連接，否則裝置將會損壞！
2 升級期間請關閉所有可能使用該裝置的應用程式，例如 Zoom、Skype、Teams 和 OBS。
</translation>
    </message>
</context>
</TS>
