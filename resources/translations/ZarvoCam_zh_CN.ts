<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>DevButton</name>
    <message>
        <location filename="../../src/uicomm/DevButton.cpp" line="+26"/>
        <location line="+70"/>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <location line="+1"/>
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
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+30"/>
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
</TS>
