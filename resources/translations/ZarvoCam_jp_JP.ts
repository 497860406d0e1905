<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AntiFlicker</name>
    <message>
        <location filename="../../src/uicomm/AntiFlicker.cpp" line="+21"/>
        <source>Anti-Flicker</source>
        <translation>フリッカー低減</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Off</source>
        <translation>オフ</translation>
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
        <translation>ボタン設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default</source>
        <translation>デフォルト</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rotation</source>
        <translation>ローテーション</translation>
    </message>
</context>
<context>
    <name>CamSettings</name>
    <message>
        <location filename="../../src/uicomm/CamSettings.ui" line="+14"/>
        <source>Camera Setting</source>
        <translation>カメラ設定</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Focus</source>
        <translation>フォーカス</translation>
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
        <translation>オートフォーカスモード</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+295"/>
        <source>Global</source>
        <translation>全体</translation>
    </message>
    <message>
        <location line="-276"/>
        <location line="+295"/>
        <source>Face</source>
        <translation>顔</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Manual Focus</source>
        <translation>マニュアルフォーカス</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Exposure</source>
        <translation>露出</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>Auto Exposure Mode</source>
        <translation>自動露出モード</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Compensation</source>
        <translation>露出補正</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Shutter Speed</source>
        <translation>シャッター速度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Anti-Flicker</source>
        <translation>フリッカー低減</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Off</source>
        <translation>オフ</translation>
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
        <translation>ホワイトバランス</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Color Temperature</source>
        <translation>色温度</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Image</source>
        <translation>画像</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Contrast</source>
        <translation>コントラスト</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Saturation</source>
        <translation>彩度</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Sharpness</source>
        <translation>シャープネス</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Hue</source>
        <translation>色相</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Done</source>
        <translation>完了</translation>
    </message>
</context>
<context>
    <name>DevButton</name>
    <message>
        <location filename="../../src/uicomm/DevButton.cpp" line="+27"/>
        <location line="+70"/>
        <location line="+39"/>
        <source>Rename</source>
        <translation>名前の変更</translation>
    </message>
    <message>
        <location line="-38"/>
        <source>Please input name</source>
        <translation>名前を入力してください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>DevSleep</name>
    <message>
        <location filename="../../src/uicomm/DevSleep.ui" line="+14"/>
        <source>Device Sleep</source>
        <translation>デバイススリープ</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Device is sleeping</source>
        <translation>デバイスはスリープ中です</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Resume</source>
        <translation>再開</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
</context>
<context>
    <name>DownloadProgress</name>
    <message>
        <location filename="../../src/uicomm/DownloadProgress.cpp" line="+15"/>
        <source>Downloading Firmware</source>
        <translation>ファームウェアをダウンロード中</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1MB/s - %2MB, total %3MB</source>
        <translation>%1MB/s - %2MB、合計 %3MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>0MB/s - 0MB, total %1MB</source>
        <translation>0MB/s - 0MB、合計 %1MB</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Download error!</source>
        <translation>ダウンロードエラー！</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>0MB/s - %1MB, total %2MB</source>
        <translation>0MB/s - %1MB、合計 %2MB</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Download timeout, please try again later!</source>
        <translation>ダウンロードがタイムアウトしました。しばらくしてからもう一度お試しください！</translation>
    </message>
</context>
<context>
    <name>ForMoreUi</name>
    <message>
        <location filename="../../src/uicomm/ForMoreUi.cpp" line="+60"/>
        <source>Export Log</source>
        <translation>ログのエクスポート</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware Upgrade</source>
        <translation>ファームウェアのアップグレード</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upgrade Manual</source>
        <translation>アップグレードマニュアル</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Restore Factory Settings</source>
        <translation>工場出荷時の設定に戻す</translation>
    </message>
</context>
<context>
    <name>HotKeyList</name>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.ui" line="+14"/>
        <location line="+58"/>
        <source>Hotkeys List</source>
        <translation>ホットキー一覧</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.cpp" line="+36"/>
        <source>Function</source>
        <translation>機能</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Global/Local shortcut switch</source>
        <translation>グローバル/ローカルショートカットの切り替え</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 1</source>
        <translation>デバイス 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 2</source>
        <translation>デバイス 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 3</source>
        <translation>デバイス 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 4</source>
        <translation>デバイス 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Direction reset</source>
        <translation>方向のリセット</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom in</source>
        <translation>ズームイン</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom out</source>
        <translation>ズームアウト</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom max</source>
        <translation>最大ズーム</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom min</source>
        <translation>最小ズーム</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move up</source>
        <translation>ビューを上へ移動</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move down</source>
        <translation>ビューを下へ移動</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move left</source>
        <translation>ビューを左へ移動</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move right</source>
        <translation>ビューを右へ移動</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device Sleep/Resume</source>
        <translation>デバイスのスリープ/再開</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 65°</source>
        <translation>画角 65°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 78°</source>
        <translation>画角 78°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 86°</source>
        <translation>画角 86°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: blur</source>
        <translation>バーチャル背景：ぼかし</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: green screen</source>
        <translation>バーチャル背景：グリーンバック</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: replacement</source>
        <translation>バーチャル背景：置き換え</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: single mode</source>
        <translation>オートフレーミング：シングルモード</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: group mode</source>
        <translation>オートフレーミング：グループモード</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Standard mode</source>
        <translation>標準モード</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hotkey</source>
        <translation>ホットキー</translation>
    </message>
</context>
<context>
    <name>ImageCrop</name>
    <message>
        <location filename="../../src/zarvocam/ImageCrop.ui" line="+26"/>
        <source>Image Crop</source>
        <translation>画像のトリミング</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
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
        <translation>削除</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preview</source>
        <translation>プレビュー</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../../src/zarvocam/Language.cpp" line="+43"/>
        <source>Language</source>
        <translation>言語</translation>
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
        <translation>カメラ操作</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>System Setting</source>
        <translation>システム設定</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Device</source>
        <translation>デバイス</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Device Status</source>
        <translation>デバイスの状態</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Sleep</source>
        <translation>スリープ</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Zoom</source>
        <translation>ズーム</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Auto Framing</source>
        <translation>オートフレーミング</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Group</source>
        <translation>グループ</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Single</source>
        <translation>シングル</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Close-up</source>
        <translation>アップ</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Upper Body</source>
        <translation>上半身</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Virtual Background</source>
        <translation>バーチャル背景</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Background Effect</source>
        <translation>背景効果</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blur</source>
        <translation>ぼかし</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Green Screen</source>
        <translation>グリーンバック</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Replace</source>
        <translation>置き換え</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Blur Level</source>
        <translation>ぼかしの強さ</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Screen Color</source>
        <translation>スクリーンの色</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blue</source>
        <translation>青</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Green</source>
        <translation>緑</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Replace With</source>
        <translation>置き換える画像</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Field of View</source>
        <translation>画角</translation>
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
        <translation>ビューをリセット</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUi.cpp" line="+281"/>
        <location filename="../../src/zarvocam/MainUserUiDevices.cpp" line="+72"/>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+429"/>
        <source>Virtual background will be turned off once the Auto Framing is activated, also adjustment of FoV, Zoom in/out and Direction will be disabled!</source>
        <translation>オートフレーミングを有効にすると、バーチャル背景はオフになり、画角、ズーム、方向の調整もできなくなります！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Turn On</source>
        <translation>オンにする</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
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
        <translation>AI オートフレーミングを有効にすると、バーチャル背景は自動的にオフになり、画角、ズーム、方向の調整もできなくなります。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Auto framing will be turned off once virtual background is activated.</source>
        <translation>バーチャル背景を有効にすると、オートフレーミングはオフになります。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please zoom in first before adjusting the direction.</source>
        <translation>方向を調整する前に、まずズームインしてください。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Right click to delete the custom image. The default image cannot be deleted.</source>
        <translation>右クリックでカスタム画像を削除できます。デフォルトの画像は削除できません。</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiSettings.cpp" line="+78"/>
        <location line="+10"/>
        <source>Restore Factory Settings</source>
        <translation>工場出荷時の設定に戻す</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to reset all settings immediately?</source>
        <translation>すべての設定を今すぐリセットしますか？</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+9"/>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Device is restoring the factory settings, please waiting...</source>
        <translation>デバイスを工場出荷時の設定に戻しています。しばらくお待ちください…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Factory reset successfully!</source>
        <translation>工場出荷時の設定に戻しました！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="-51"/>
        <location line="+47"/>
        <source>Software upgrade info</source>
        <translation>ソフトウェアのアップグレード情報</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>New software is available: </source>
        <translation>新しいソフトウェアがあります：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Choose Storage Path</source>
        <translation>保存先の選択</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Downloading Software</source>
        <translation>ソフトウェアをダウンロード中</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>No package installer was found on this desktop. Please install the downloaded package yourself:
%1</source>
        <translation>このデスクトップにはパッケージインストーラーが見つかりません。ダウンロードしたパッケージを手動でインストールしてください：
%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No Device Connected</source>
        <translation>デバイスが接続されていません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please insert device first and try again!</source>
        <translation>デバイスを接続してから、もう一度お試しください！</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Current firmware is up to date!</source>
        <translation>ファームウェアは最新です！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>New firmware is available: </source>
        <translation>新しいファームウェアがあります：</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Firmware upgrade info</source>
        <translation>ファームウェアのアップグレード情報</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Downloading Firmware</source>
        <translation>ファームウェアをダウンロード中</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Cannot get latest firmware info from server!</source>
        <translation>サーバーから最新のファームウェア情報を取得できません！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiNetwork.cpp" line="+119"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+77"/>
        <source>Extracting Log</source>
        <translation>ログを抽出中</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+1"/>
        <source>Please wait and keep the device connected!</source>
        <translation>しばらくお待ちください。デバイスは接続したままにしてください！</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+5"/>
        <location line="+6"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+10"/>
        <source>Extract log failed, please try again later!</source>
        <translation>ログの抽出に失敗しました。しばらくしてからもう一度お試しください！</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Extract the log file successfully and device will reboot now!</source>
        <translation>ログファイルを抽出しました。デバイスを再起動します！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPictures.cpp" line="+69"/>
        <source>Choose Background Image</source>
        <translation>背景画像の選択</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image Files(*.jpg *.jpeg *.png *.bmp)</source>
        <translation>画像ファイル(*.jpg *.jpeg *.png *.bmp)</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Image Invalid</source>
        <translation>無効な画像</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid image and try again!</source>
        <translation>有効な画像を選択して、もう一度お試しください！</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Start Image Upload</source>
        <translation>画像のアップロード開始</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uploading image, please wait...</source>
        <translation>画像をアップロード中です。しばらくお待ちください...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Upload image successfully!</source>
        <translation>画像をアップロードしました！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Image upload failed, please try again!</source>
        <translation>画像のアップロードに失敗しました。もう一度お試しください！</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="-60"/>
        <source>Choose Firmware</source>
        <translation>ファームウェアの選択</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Firmware Invalid</source>
        <translation>無効なファームウェア</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid firmware package and try again!</source>
        <translation>有効なファームウェアパッケージを選択して、もう一度お試しください！</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Extract the log file successfully!</source>
        <translation>ログファイルを抽出しました！</translation>
    </message>
</context>
<context>
    <name>MsgInfoUi</name>
    <message>
        <location filename="../../src/uicomm/MsgInfoUi.ui" line="+26"/>
        <source>Message</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <location line="+128"/>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
</context>
<context>
    <name>MsgProgressUi</name>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.ui" line="+26"/>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+31"/>
        <source>Progress</source>
        <translation>進行状況</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Downloading firmware</source>
        <translation>ファームウェアをダウンロード中</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+8"/>
        <source>Progress info</source>
        <translation>進行状況</translation>
    </message>
</context>
<context>
    <name>ScreenMode</name>
    <message>
        <location filename="../../src/uicomm/ScreenMode.cpp" line="+20"/>
        <source>Screen Mode</source>
        <translation>画面モード</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Landscape</source>
        <translation>横向き</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Portrait</source>
        <translation>縦向き</translation>
    </message>
</context>
<context>
    <name>SystemSettingUi</name>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.ui" line="+14"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+590"/>
        <source>System Setting</source>
        <translation>システム設定</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Software Version</source>
        <translation>ソフトウェアのバージョン</translation>
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
        <translation>ファームウェアのバージョン</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>Device Auto Sleep</source>
        <translation>デバイスの自動スリープ</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>When the system detects that the device is not in the streaming state, it will enter the sleep mode immediately.</source>
        <translation>デバイスが配信中でないことを検出すると、すぐにスリープモードに入ります。</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>When the KAVORA ZarvoCam software is not in use, it will enter the sleep mode after the following time.</source>
        <translation>KAVORA ZarvoCam ソフトウェアを使用していないときは、次の時間が経過するとスリープモードに入ります。</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>30 s</source>
        <translation>30 秒</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>2 min</source>
        <translation>2 分</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>10 min</source>
        <translation>10 分</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Camera Setting</source>
        <translation>カメラ設定</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Button Configuration</source>
        <translation>ボタン設定</translation>
    </message>
    <message>
        <location line="+54"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-321"/>
        <source>Default</source>
        <translation>デフォルト</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Anti-Flicker</source>
        <translation>フリッカー低減</translation>
    </message>
    <message>
        <location line="+29"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+45"/>
        <source>Off</source>
        <translation>オフ</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Noise Reduction</source>
        <translation>ノイズ低減</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Virtual Background</source>
        <translation>バーチャル背景</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Global Hotkeys</source>
        <translation>グローバルホットキー</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Remote Controller</source>
        <translation>リモコン</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>More</source>
        <translation>その他</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-45"/>
        <source>Rotation</source>
        <translation>ローテーション</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>| Default</source>
        <translation>| デフォルト</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click</source>
        <translation>クリック</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off auto-framing</source>
        <translation>オートフレーミングのオン/オフ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Click</source>
        <translation>ダブルクリック</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off virtual background  (blur/green screen/replacement)</source>
        <translation>バーチャル背景のオン/オフ（ぼかし/グリーンバック/置き換え）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Long press for 3 seconds</source>
        <translation>3 秒間長押し</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Sleep/Wake up the device</source>
        <translation>デバイスのスリープ/復帰</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>| Rotation</source>
        <translation>| ローテーション</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Switch to next mode in the following order: standard-&gt;auto-framing-&gt;virtual background</source>
        <translation>次の順序で次のモードに切り替えます：標準-&gt;オートフレーミング-&gt;バーチャル背景</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Button Mode Description</source>
        <translation>ボタンモードの説明</translation>
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
        <translation>ヒント</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>The Virtual Background features are now in beta version and will give further updates to polish the effect.</source>
        <translation>バーチャル背景機能は現在ベータ版です。今後のアップデートで効果を改善していきます。</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>KAVORA Zarvo Remote Controller</source>
        <translation>KAVORA Zarvo リモコン</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Compatible remote controller: %1</source>
        <translation>対応リモコン：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote control keys may conflict with some software shortcuts keys. In case of conflict, please turn off or change other software shortcuts keys.</source>
        <translation>リモコンのキーが一部のソフトウェアのショートカットキーと競合することがあります。競合する場合は、他のソフトウェアのショートカットキーをオフにするか変更してください。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」</source>
        <translation>例：「インテル ® グラフィックス・コントロール・センター」の「画面の回転」ショートカットキー</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K during the upgrade, such as %1, etc.</source>
        <translation>アップグレード中は、KAVORA Zarvo または Zarvo 4K を使用する可能性のあるアプリケーション（%1 など）をすべて終了してください。</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Please upgrade to the v</source>
        <translation>v</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> or higher for new features with your ZarvoCam.</source>
        <translation> 以降にアップグレードすると、ZarvoCam で新機能を使用できます。</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
</context>
<context>
    <name>UpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UpgradeProgress.cpp" line="+15"/>
        <source>Start to upgrade. Please do not disconnect!</source>
        <translation>アップグレードを開始します。接続を切らないでください！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning: Do not disconnect the device during upgrade, otherwise the device will crash!</source>
        <translation>警告：アップグレード中はデバイスを取り外さないでください。デバイスが故障するおそれがあります！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Upgrade successfully!</source>
        <translation>アップグレードが完了しました！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>アップグレードに失敗しました。しばらくしてからもう一度お試しください。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No response from device for a long time, please restart device and try again!</source>
        <translation>デバイスから長時間応答がありません。デバイスを再起動して、もう一度お試しください！</translation>
    </message>
</context>
<context>
    <name>UvcUpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UvcUpgradeProgress.cpp" line="+24"/>
        <location line="+39"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>アップグレードに失敗しました。しばらくしてからもう一度お試しください。</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Microsoft Teams, Skype, OBS Studio, etc.
</source>
        <translation>警告：
1 アップグレード中はデバイスを取り外さないでください。デバイスが故障するおそれがあります！
2 アップグレード中は、Zoom、Microsoft Teams、Skype、OBS Studio など、デバイスを使用する可能性のあるアプリケーションをすべて終了してください。
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
        <translation>アップグレードに失敗しました。しばらくしてからもう一度お試しください。</translation>
    </message>
    <message>
        <location line="-28"/>
        <location line="+975"/>
        <source>Warning: Please close any other programs that might use device!</source>
        <translation>警告：デバイスを使用する可能性のある他のプログラムを終了してください！</translation>
    </message>
    <message>
        <location line="-950"/>
        <source>The ugprade package is out of date.</source>
        <translation>アップグレードパッケージが古くなっています。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upgrade successfully!</source>
        <translation>アップグレードが完了しました！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Skype, Teams and OBS.
</source>
        <translation>警告：
1 アップグレード中はデバイスを取り外さないでください。デバイスが故障するおそれがあります！
2 アップグレード中は、Zoom、Skype、Teams、OBS など、デバイスを使用する可能性のあるアプリケーションをすべて終了してください。
</translation>
    </message>
</context>
</TS>
