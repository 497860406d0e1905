<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AntiFlicker</name>
    <message>
        <location filename="../../src/uicomm/AntiFlicker.cpp" line="+21"/>
        <source>Anti-Flicker</source>
        <translation>抗闪烁</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Off</source>
        <translation>关闭</translation>
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
        <translation>按键配置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rotation</source>
        <translation>轮换</translation>
    </message>
</context>
<context>
    <name>CamSettings</name>
    <message>
        <location filename="../../src/uicomm/CamSettings.ui" line="+14"/>
        <source>Camera Setting</source>
        <translation>相机设置</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Focus</source>
        <translation>对焦</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+278"/>
        <location line="+514"/>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <location line="-736"/>
        <source>Auto Focus Mode</source>
        <translation>自动对焦模式</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+295"/>
        <source>Global</source>
        <translation>全局</translation>
    </message>
    <message>
        <location line="-276"/>
        <location line="+295"/>
        <source>Face</source>
        <translation>人脸</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Manual Focus</source>
        <translation>手动对焦</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Exposure</source>
        <translation>曝光</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>Auto Exposure Mode</source>
        <translation>自动曝光模式</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Compensation</source>
        <translation>曝光补偿</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Shutter Speed</source>
        <translation>快门速度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Anti-Flicker</source>
        <translation>抗闪烁</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Off</source>
        <translation>关闭</translation>
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
        <translation>色温</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Image</source>
        <translation>图像</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Contrast</source>
        <translation>对比度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Saturation</source>
        <translation>饱和度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Sharpness</source>
        <translation>锐度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Hue</source>
        <translation>色调</translation>
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
        <translation>重命名</translation>
    </message>
    <message>
        <location line="-38"/>
        <source>Please input name</source>
        <translation>请输入名称</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>确定</translation>
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
        <translation>设备休眠</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Device is sleeping</source>
        <translation>设备已休眠</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Resume</source>
        <translation>唤醒</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
</context>
<context>
    <name>DownloadProgress</name>
    <message>
        <location filename="../../src/uicomm/DownloadProgress.cpp" line="+15"/>
        <source>Downloading Firmware</source>
        <translation>正在下载固件</translation>
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
        <translation>下载出错！</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>0MB/s - %1MB, total %2MB</source>
        <translation>0MB/s - %1MB，共 %2MB</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Download timeout, please try again later!</source>
        <translation>下载超时，请稍后重试！</translation>
    </message>
</context>
<context>
    <name>ForMoreUi</name>
    <message>
        <location filename="../../src/uicomm/ForMoreUi.cpp" line="+60"/>
        <source>Export Log</source>
        <translation>导出日志</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware Upgrade</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upgrade Manual</source>
        <translation>升级手册</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Restore Factory Settings</source>
        <translation>恢复出厂设置</translation>
    </message>
</context>
<context>
    <name>HotKeyList</name>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.ui" line="+14"/>
        <location line="+58"/>
        <source>Hotkeys List</source>
        <translation>快捷键列表</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.cpp" line="+36"/>
        <source>Function</source>
        <translation>功能</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Global/Local shortcut switch</source>
        <translation>全局/本地快捷键切换</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 1</source>
        <translation>设备 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 2</source>
        <translation>设备 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 3</source>
        <translation>设备 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 4</source>
        <translation>设备 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Direction reset</source>
        <translation>方向复位</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom max</source>
        <translation>最大变焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom min</source>
        <translation>最小变焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move up</source>
        <translation>视角上移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move down</source>
        <translation>视角下移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move left</source>
        <translation>视角左移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move right</source>
        <translation>视角右移</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device Sleep/Resume</source>
        <translation>设备休眠/唤醒</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 65°</source>
        <translation>视场角 65°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 78°</source>
        <translation>视场角 78°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 86°</source>
        <translation>视场角 86°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: blur</source>
        <translation>虚拟背景：虚化</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: green screen</source>
        <translation>虚拟背景：绿幕</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: replacement</source>
        <translation>虚拟背景：替换</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: single mode</source>
        <translation>自动取景：单人模式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: group mode</source>
        <translation>自动取景：多人模式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Standard mode</source>
        <translation>标准模式</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hotkey</source>
        <translation>快捷键</translation>
    </message>
</context>
<context>
    <name>ImageCrop</name>
    <message>
        <location filename="../../src/zarvocam/ImageCrop.ui" line="+26"/>
        <source>Image Crop</source>
        <translation>图片裁剪</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>ImageItem</name>
    <message>
        <location filename="../../src/zarvocam/ImageItem.cpp" line="+60"/>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preview</source>
        <translation>预览</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../../src/zarvocam/Language.cpp" line="+43"/>
        <source>Language</source>
        <translation>语言</translation>
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
        <translation>相机控制</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>System Setting</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Device Status</source>
        <translation>设备状态</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Sleep</source>
        <translation>休眠</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Zoom</source>
        <translation>变焦</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Auto Framing</source>
        <translation>自动取景</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Group</source>
        <translation>多人</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Single</source>
        <translation>单人</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Close-up</source>
        <translation>特写</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Upper Body</source>
        <translation>半身</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Virtual Background</source>
        <translation>虚拟背景</translation>
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
        <translation>虚化</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Green Screen</source>
        <translation>绿幕</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Replace</source>
        <translation>替换</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Blur Level</source>
        <translation>虚化程度</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Screen Color</source>
        <translation>幕布颜色</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Replace With</source>
        <translation>替换为</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Field of View</source>
        <translation>视场角</translation>
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
        <translation>重置视角</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUi.cpp" line="+281"/>
        <location filename="../../src/zarvocam/MainUserUiDevices.cpp" line="+72"/>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+429"/>
        <source>Virtual background will be turned off once the Auto Framing is activated, also adjustment of FoV, Zoom in/out and Direction will be disabled!</source>
        <translation>开启自动取景后，虚拟背景将关闭，视场角、变焦和方向调节也将不可用！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Turn On</source>
        <translation>开启</translation>
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
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+6"/>
        <source>The Virtual background will automatically turn off once the AI Auto-framing is activated, and the adjustment of FoV, Zoom in/out and Direction will be disabled too.</source>
        <translation>开启 AI 自动取景后，虚拟背景将自动关闭，视场角、变焦和方向调节也将不可用。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Auto framing will be turned off once virtual background is activated.</source>
        <translation>开启虚拟背景后，自动取景将关闭。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please zoom in first before adjusting the direction.</source>
        <translation>请先放大画面，再调节方向。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Right click to delete the custom image. The default image cannot be deleted.</source>
        <translation>右键单击可删除自定义图片，默认图片无法删除。</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiSettings.cpp" line="+78"/>
        <location line="+10"/>
        <source>Restore Factory Settings</source>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to reset all settings immediately?</source>
        <translation>是否立即恢复所有设置？</translation>
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
        <translation>设备正在恢复出厂设置，请稍候……</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Factory reset successfully!</source>
        <translation>恢复出厂设置成功！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="-51"/>
        <location line="+47"/>
        <source>Software upgrade info</source>
        <translation>软件升级信息</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>New software is available: </source>
        <translation>有新版本软件可用：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Choose Storage Path</source>
        <translation>选择存储路径</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Downloading Software</source>
        <translation>正在下载软件</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>No package installer was found on this desktop. Please install the downloaded package yourself:
%1</source>
        <translation>此桌面上未找到软件包安装程序，请自行安装已下载的软件包：
%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No Device Connected</source>
        <translation>未连接设备</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please insert device first and try again!</source>
        <translation>请先连接设备后重试！</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Current firmware is up to date!</source>
        <translation>当前固件已是最新版本！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>New firmware is available: </source>
        <translation>有新版本固件可用：</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Firmware upgrade info</source>
        <translation>固件升级信息</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Downloading Firmware</source>
        <translation>正在下载固件</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Cannot get latest firmware info from server!</source>
        <translation>无法从服务器获取最新固件信息！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiNetwork.cpp" line="+119"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+77"/>
        <source>Extracting Log</source>
        <translation>正在导出日志</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+1"/>
        <source>Please wait and keep the device connected!</source>
        <translation>请稍候，并保持设备连接！</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+5"/>
        <location line="+6"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+10"/>
        <source>Extract log failed, please try again later!</source>
        <translation>导出日志失败，请稍后重试！</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Extract the log file successfully and device will reboot now!</source>
        <translation>日志文件导出成功，设备即将重启！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPictures.cpp" line="+69"/>
        <source>Choose Background Image</source>
        <translation>选择背景图片</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image Files(*.jpg *.jpeg *.png *.bmp)</source>
        <translation>图片文件(*.jpg *.jpeg *.png *.bmp)</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Image Invalid</source>
        <translation>图片无效</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid image and try again!</source>
        <translation>请选择有效的图片后重试！</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Start Image Upload</source>
        <translation>开始上传图片</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uploading image, please wait...</source>
        <translation>正在上传图片，请稍候...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Upload image successfully!</source>
        <translation>图片上传成功！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Image upload failed, please try again!</source>
        <translation>图片上传失败，请重试！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="-60"/>
        <source>Choose Firmware</source>
        <translation>选择固件</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Firmware Invalid</source>
        <translation>固件无效</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid firmware package and try again!</source>
        <translation>请选择有效的固件包后重试！</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Extract the log file successfully!</source>
        <translation>日志文件导出成功！</translation>
    </message>
</context>
<context>
    <name>MsgInfoUi</name>
    <message>
        <location filename="../../src/uicomm/MsgInfoUi.ui" line="+26"/>
        <source>Message</source>
        <translation>消息</translation>
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
        <translation>进度</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Downloading firmware</source>
        <translation>正在下载固件</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+8"/>
        <source>Progress info</source>
        <translation>进度信息</translation>
    </message>
</context>
<context>
    <name>ScreenMode</name>
    <message>
        <location filename="../../src/uicomm/ScreenMode.cpp" line="+20"/>
        <source>Screen Mode</source>
        <translation>屏幕模式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Landscape</source>
        <translation>横屏</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Portrait</source>
        <translation>竖屏</translation>
    </message>
</context>
<context>
    <name>SystemSettingUi</name>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.ui" line="+14"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+590"/>
        <source>System Setting</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Software Version</source>
        <translation>软件版本</translation>
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
        <translation>固件版本</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>Device Auto Sleep</source>
        <translation>设备自动休眠</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>When the system detects that the device is not in the streaming state, it will enter the sleep mode immediately.</source>
        <translation>当系统检测到设备未处于推流状态时，将立即进入休眠模式。</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>When the KAVORA ZarvoCam software is not in use, it will enter the sleep mode after the following time.</source>
        <translation>当 KAVORA ZarvoCam 软件未被使用时，将在以下时间后进入休眠模式。</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>30 s</source>
        <translation>30 秒</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>2 min</source>
        <translation>2 分钟</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>10 min</source>
        <translation>10 分钟</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Camera Setting</source>
        <translation>相机设置</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Button Configuration</source>
        <translation>按键配置</translation>
    </message>
    <message>
        <location line="+54"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-321"/>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Anti-Flicker</source>
        <translation>抗闪烁</translation>
    </message>
    <message>
        <location line="+29"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+45"/>
        <source>Off</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Noise Reduction</source>
        <translation>降噪</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Virtual Background</source>
        <translation>虚拟背景</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Global Hotkeys</source>
        <translation>全局快捷键</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Remote Controller</source>
        <translation>遥控器</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>More</source>
        <translation>更多</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-45"/>
        <source>Rotation</source>
        <translation>轮换</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>| Default</source>
        <translation>| 默认</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click</source>
        <translation>单击</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off auto-framing</source>
        <translation>开启/关闭自动取景</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Click</source>
        <translation>双击</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off virtual background  (blur/green screen/replacement)</source>
        <translation>开启/关闭虚拟背景（虚化/绿幕/替换）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Long press for 3 seconds</source>
        <translation>长按 3 秒</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Sleep/Wake up the device</source>
        <translation>设备休眠/唤醒</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>| Rotation</source>
        <translation>| 轮换</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Switch to next mode in the following order: standard-&gt;auto-framing-&gt;virtual background</source>
        <translation>按以下顺序切换到下一模式：标准-&gt;自动取景-&gt;虚拟背景</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Button Mode Description</source>
        <translation>按键模式说明</translation>
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
        <translation>虚拟背景功能目前为测试版，后续将持续更新以优化效果。</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>KAVORA Zarvo Remote Controller</source>
        <translation>KAVORA Zarvo 遥控器</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Compatible remote controller: %1</source>
        <translation>兼容的遥控器：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote control keys may conflict with some software shortcuts keys. In case of conflict, please turn off or change other software shortcuts keys.</source>
        <translation>遥控器按键可能与某些软件的快捷键冲突。如有冲突，请关闭或更改其他软件的快捷键。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」</source>
        <translation>例如「英特尔 ® 显卡控制中心」的「屏幕旋转」快捷键</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K during the upgrade, such as %1, etc.</source>
        <translation>升级期间请确保关闭所有可能使用 KAVORA Zarvo 或 Zarvo 4K 的应用程序，例如 %1 等。</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Please upgrade to the v</source>
        <translation>请升级到 v</translation>
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
        <translation>开始升级，请勿断开连接！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning: Do not disconnect the device during upgrade, otherwise the device will crash!</source>
        <translation>警告：升级过程中请勿断开设备，否则设备将损坏！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Upgrade successfully!</source>
        <translation>升级成功！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>升级失败，请稍后重试。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No response from device for a long time, please restart device and try again!</source>
        <translation>设备长时间无响应，请重启设备后重试！</translation>
    </message>
</context>
<context>
    <name>UvcUpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UvcUpgradeProgress.cpp" line="+24"/>
        <location line="+39"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>升级失败，请稍后重试。</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Microsoft Teams, Skype, OBS Studio, etc.
</source>
        <translation>警告：
1 升级过程中请勿断开设备，否则设备将损坏！
2 升级期间请关闭所有可能使用该设备的应用程序，例如 Zoom、Microsoft Teams、Skype、OBS Studio 等。
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
        <translation>升级失败，请稍后重试。</translation>
    </message>
    <message>
        <location line="-28"/>
        <location line="+975"/>
        <source>Warning: Please close any other programs that might use device!</source>
        <translation>警告：请关闭其他可能使用该设备的程序！</translation>
    </message>
    <message>
        <location line="-950"/>
        <source>The ugprade package is out of date.</source>
        <translation>升级包已过期。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upgrade successfully!</source>
        <translation>升级成功！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Skype, Teams and OBS.
</source>
        <translation>警告：
1 升级过程中请勿断开设备，否则设备将损坏！
2 升级期间请关闭所有可能使用该设备的应用程序，例如 Zoom、Skype、Teams 和 OBS。
</translation>
    </message>
</context>
</TS>
