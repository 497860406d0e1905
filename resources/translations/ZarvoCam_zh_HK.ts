<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_HK">
<context>
    <name>DevButton</name>
    <message>
        <location filename="../../src/uicomm/DevButton.cpp" line="+26"/>
        <location line="+70"/>
        <source>Rename</source>
        <translation>重新命名</translation>
    </message>
    <message>
        <location line="+1"/>
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
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+30"/>
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
</TS>
