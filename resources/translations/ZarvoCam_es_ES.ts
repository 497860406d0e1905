<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AntiFlicker</name>
    <message>
        <location filename="../../src/uicomm/AntiFlicker.cpp" line="+21"/>
        <source>Anti-Flicker</source>
        <translation>Antiparpadeo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Off</source>
        <translation>Desactivado</translation>
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
        <translation>Configuración del botón</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default</source>
        <translation>Predeterminado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rotation</source>
        <translation>Rotación</translation>
    </message>
</context>
<context>
    <name>CamSettings</name>
    <message>
        <location filename="../../src/uicomm/CamSettings.ui" line="+14"/>
        <source>Camera Setting</source>
        <translation>Ajustes de la cámara</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Focus</source>
        <translation>Enfoque</translation>
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
        <translation>Modo de enfoque automático</translation>
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
        <translation>Rostro</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Manual Focus</source>
        <translation>Enfoque manual</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Exposure</source>
        <translation>Exposición</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>Auto Exposure Mode</source>
        <translation>Modo de exposición automática</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Compensation</source>
        <translation>Compensación</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Shutter Speed</source>
        <translation>Velocidad de obturación</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>ISO</source>
        <translation>ISO</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Anti-Flicker</source>
        <translation>Antiparpadeo</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Off</source>
        <translation>Desactivado</translation>
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
        <translation>Balance de blancos</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>Color Temperature</source>
        <translation>Temperatura de color</translation>
    </message>
    <message>
        <location line="+89"/>
        <source>Image</source>
        <translation>Imagen</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Contrast</source>
        <translation>Contraste</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Saturation</source>
        <translation>Saturación</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Sharpness</source>
        <translation>Nitidez</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Hue</source>
        <translation>Tono</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Done</source>
        <translation>Listo</translation>
    </message>
</context>
<context>
    <name>DevButton</name>
    <message>
        <location filename="../../src/uicomm/DevButton.cpp" line="+27"/>
        <location line="+70"/>
        <location line="+39"/>
        <source>Rename</source>
        <translation>Cambiar nombre</translation>
    </message>
    <message>
        <location line="-38"/>
        <source>Please input name</source>
        <translation>Introduzca un nombre</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>DevSleep</name>
    <message>
        <location filename="../../src/uicomm/DevSleep.ui" line="+14"/>
        <source>Device Sleep</source>
        <translation>Reposo del dispositivo</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Device is sleeping</source>
        <translation>El dispositivo está en reposo</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Resume</source>
        <translation>Reanudar</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Connect</source>
        <translation>Conectar</translation>
    </message>
</context>
<context>
    <name>DownloadProgress</name>
    <message>
        <location filename="../../src/uicomm/DownloadProgress.cpp" line="+15"/>
        <source>Downloading Firmware</source>
        <translation>Descargando firmware</translation>
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
        <translation>¡Error de descarga!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>0MB/s - %1MB, total %2MB</source>
        <translation>0MB/s - %1MB, total %2MB</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Download timeout, please try again later!</source>
        <translation>¡Tiempo de descarga agotado, inténtelo de nuevo más tarde!</translation>
    </message>
</context>
<context>
    <name>ForMoreUi</name>
    <message>
        <location filename="../../src/uicomm/ForMoreUi.cpp" line="+60"/>
        <source>Export Log</source>
        <translation>Exportar registro</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware Upgrade</source>
        <translation>Actualización del firmware</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upgrade Manual</source>
        <translation>Manual de actualización</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Restore Factory Settings</source>
        <translation>Restablecer ajustes de fábrica</translation>
    </message>
</context>
<context>
    <name>HotKeyList</name>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.ui" line="+14"/>
        <location line="+58"/>
        <source>Hotkeys List</source>
        <translation>Lista de atajos</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/HotKeyList.cpp" line="+36"/>
        <source>Function</source>
        <translation>Función</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Global/Local shortcut switch</source>
        <translation>Cambiar entre atajos globales y locales</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 1</source>
        <translation>Dispositivo 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 2</source>
        <translation>Dispositivo 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 3</source>
        <translation>Dispositivo 3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device 4</source>
        <translation>Dispositivo 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Direction reset</source>
        <translation>Restablecer dirección</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom in</source>
        <translation>Acercar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom out</source>
        <translation>Alejar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom max</source>
        <translation>Zoom máximo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom min</source>
        <translation>Zoom mínimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move up</source>
        <translation>Mover la vista arriba</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move down</source>
        <translation>Mover la vista abajo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move left</source>
        <translation>Mover la vista a la izquierda</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View move right</source>
        <translation>Mover la vista a la derecha</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device Sleep/Resume</source>
        <translation>Reposo/reanudar dispositivo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 65°</source>
        <translation>Campo de visión 65°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 78°</source>
        <translation>Campo de visión 78°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View 86°</source>
        <translation>Campo de visión 86°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: blur</source>
        <translation>Fondo virtual: desenfoque</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: green screen</source>
        <translation>Fondo virtual: pantalla verde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Virtual background: replacement</source>
        <translation>Fondo virtual: reemplazo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: single mode</source>
        <translation>Encuadre automático: modo individual</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto framing: group mode</source>
        <translation>Encuadre automático: modo grupo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Standard mode</source>
        <translation>Modo estándar</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hotkey</source>
        <translation>Atajo</translation>
    </message>
</context>
<context>
    <name>ImageCrop</name>
    <message>
        <location filename="../../src/zarvocam/ImageCrop.ui" line="+26"/>
        <source>Image Crop</source>
        <translation>Recortar imagen</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>ImageItem</name>
    <message>
        <location filename="../../src/zarvocam/ImageItem.cpp" line="+60"/>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Preview</source>
        <translation>Vista previa</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../../src/zarvocam/Language.cpp" line="+43"/>
        <source>Language</source>
        <translation>Idioma</translation>
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
        <translation>Control de la cámara</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>System Setting</source>
        <translation>Ajustes del sistema</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Device</source>
        <translation>Dispositivo</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Device Status</source>
        <translation>Estado del dispositivo</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Sleep</source>
        <translation>Reposo</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Auto Framing</source>
        <translation>Encuadre automático</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Group</source>
        <translation>Grupo</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Single</source>
        <translation>Individual</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Close-up</source>
        <translation>Primer plano</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Upper Body</source>
        <translation>Medio cuerpo</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Virtual Background</source>
        <translation>Fondo virtual</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Background Effect</source>
        <translation>Efecto de fondo</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blur</source>
        <translation>Desenfoque</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Green Screen</source>
        <translation>Pantalla verde</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Replace</source>
        <translation>Reemplazar</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Blur Level</source>
        <translation>Nivel de desenfoque</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Screen Color</source>
        <translation>Color de pantalla</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Replace With</source>
        <translation>Reemplazar por</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Field of View</source>
        <translation>Campo de visión</translation>
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
        <translation>Dirección</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Reset the view</source>
        <translation>Restablecer la vista</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUi.cpp" line="+281"/>
        <location filename="../../src/zarvocam/MainUserUiDevices.cpp" line="+72"/>
        <source>None</source>
        <translation>Ninguno</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+429"/>
        <source>Virtual background will be turned off once the Auto Framing is activated, also adjustment of FoV, Zoom in/out and Direction will be disabled!</source>
        <translation>Al activar el encuadre automático se desactivará el fondo virtual y no se podrán ajustar el campo de visión, el zoom ni la dirección.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Turn On</source>
        <translation>Activar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="+147"/>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+157"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPanel.cpp" line="+6"/>
        <source>The Virtual background will automatically turn off once the AI Auto-framing is activated, and the adjustment of FoV, Zoom in/out and Direction will be disabled too.</source>
        <translation>Al activar el encuadre automático con IA, el fondo virtual se desactivará automáticamente y tampoco se podrán ajustar el campo de visión, el zoom ni la dirección.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Auto framing will be turned off once virtual background is activated.</source>
        <translation>Al activar el fondo virtual se desactivará el encuadre automático.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Please zoom in first before adjusting the direction.</source>
        <translation>Amplíe primero la imagen antes de ajustar la dirección.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Right click to delete the custom image. The default image cannot be deleted.</source>
        <translation>Haga clic con el botón derecho para eliminar la imagen personalizada. La imagen predeterminada no se puede eliminar.</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiSettings.cpp" line="+78"/>
        <location line="+10"/>
        <source>Restore Factory Settings</source>
        <translation>Restablecer ajustes de fábrica</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to reset all settings immediately?</source>
        <translation>¿Desea restablecer ahora todos los ajustes?</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+9"/>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Device is restoring the factory settings, please waiting...</source>
        <translation>El dispositivo está restableciendo los ajustes de fábrica, espere…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Factory reset successfully!</source>
        <translation>¡Ajustes de fábrica restablecidos correctamente!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiDownload.cpp" line="-51"/>
        <location line="+47"/>
        <source>Software upgrade info</source>
        <translation>Información de actualización del software</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>New software is available: </source>
        <translation>Hay un nuevo software disponible: </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Choose Storage Path</source>
        <translation>Elegir ubicación de almacenamiento</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Downloading Software</source>
        <translation>Descargando software</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>No package installer was found on this desktop. Please install the downloaded package yourself:
%1</source>
        <translation>No se encontró ningún instalador de paquetes en este escritorio. Instale usted mismo el paquete descargado:
%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No Device Connected</source>
        <translation>Ningún dispositivo conectado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please insert device first and try again!</source>
        <translation>Conecte primero un dispositivo e inténtelo de nuevo.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Current firmware is up to date!</source>
        <translation>¡El firmware ya está actualizado!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>New firmware is available: </source>
        <translation>Hay un nuevo firmware disponible: </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Firmware upgrade info</source>
        <translation>Información de actualización del firmware</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Downloading Firmware</source>
        <translation>Descargando firmware</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>Cannot get latest firmware info from server!</source>
        <translation>No se puede obtener del servidor la información del firmware más reciente.</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiNetwork.cpp" line="+119"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+77"/>
        <source>Extracting Log</source>
        <translation>Extrayendo registro</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+1"/>
        <source>Please wait and keep the device connected!</source>
        <translation>¡Espere y mantenga el dispositivo conectado!</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+5"/>
        <location line="+6"/>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="+10"/>
        <source>Extract log failed, please try again later!</source>
        <translation>¡No se pudo extraer el registro, inténtelo de nuevo más tarde!</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Extract the log file successfully and device will reboot now!</source>
        <translation>¡Archivo de registro extraído correctamente, el dispositivo se reiniciará ahora!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiPictures.cpp" line="+69"/>
        <source>Choose Background Image</source>
        <translation>Elegir imagen de fondo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Image Files(*.jpg *.jpeg *.png *.bmp)</source>
        <translation>Archivos de imagen(*.jpg *.jpeg *.png *.bmp)</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Image Invalid</source>
        <translation>Imagen no válida</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid image and try again!</source>
        <translation>¡Seleccione una imagen válida e inténtelo de nuevo!</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Start Image Upload</source>
        <translation>Iniciar carga de imagen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uploading image, please wait...</source>
        <translation>Cargando imagen, espere...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Upload image successfully!</source>
        <translation>¡Imagen cargada correctamente!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Image upload failed, please try again!</source>
        <translation>¡Error al cargar la imagen, inténtelo de nuevo!</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/MainUserUiUpgrade.cpp" line="-60"/>
        <source>Choose Firmware</source>
        <translation>Elegir firmware</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Firmware Invalid</source>
        <translation>Firmware no válido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Please select valid firmware package and try again!</source>
        <translation>¡Seleccione un paquete de firmware válido e inténtelo de nuevo!</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Extract the log file successfully!</source>
        <translation>¡Archivo de registro extraído correctamente!</translation>
    </message>
</context>
<context>
    <name>MsgInfoUi</name>
    <message>
        <location filename="../../src/uicomm/MsgInfoUi.ui" line="+26"/>
        <source>Message</source>
        <translation>Mensaje</translation>
    </message>
    <message>
        <location line="+128"/>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
</context>
<context>
    <name>MsgProgressUi</name>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.ui" line="+26"/>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+31"/>
        <source>Progress</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Downloading firmware</source>
        <translation>Descargando firmware</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location filename="../../src/uicomm/MsgProgressUi.cpp" line="+8"/>
        <source>Progress info</source>
        <translation>Información de progreso</translation>
    </message>
</context>
<context>
    <name>ScreenMode</name>
    <message>
        <location filename="../../src/uicomm/ScreenMode.cpp" line="+20"/>
        <source>Screen Mode</source>
        <translation>Modo de pantalla</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Landscape</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Portrait</source>
        <translation>Vertical</translation>
    </message>
</context>
<context>
    <name>SystemSettingUi</name>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.ui" line="+14"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+590"/>
        <source>System Setting</source>
        <translation>Ajustes del sistema</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Software Version</source>
        <translation>Versión del software</translation>
    </message>
    <message>
        <location line="+55"/>
        <location line="+117"/>
        <source>Update</source>
        <translation>Actualizar</translation>
    </message>
    <message>
        <location line="-80"/>
        <source>Firmware Version</source>
        <translation>Versión del firmware</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>Device Auto Sleep</source>
        <translation>Suspensión automática</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>When the system detects that the device is not in the streaming state, it will enter the sleep mode immediately.</source>
        <translation>Cuando el sistema detecta que el dispositivo no está transmitiendo, entra inmediatamente en modo de suspensión.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>When the KAVORA ZarvoCam software is not in use, it will enter the sleep mode after the following time.</source>
        <translation>Cuando el software KAVORA ZarvoCam no está en uso, el dispositivo entra en modo de suspensión tras el tiempo siguiente.</translation>
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
        <translation>Ajustes de la cámara</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Button Configuration</source>
        <translation>Configuración del botón</translation>
    </message>
    <message>
        <location line="+54"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-321"/>
        <source>Default</source>
        <translation>Predeterminado</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>Anti-Flicker</source>
        <translation>Antiparpadeo</translation>
    </message>
    <message>
        <location line="+29"/>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="+45"/>
        <source>Off</source>
        <translation>Desactivado</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Noise Reduction</source>
        <translation>Reducción de ruido</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Virtual Background</source>
        <translation>Fondo virtual</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>beta</source>
        <translation>Beta</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Global Hotkeys</source>
        <translation>Atajos globales</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Remote Controller</source>
        <translation>Mando a distancia</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>More</source>
        <translation>Más</translation>
    </message>
    <message>
        <location filename="../../src/zarvocam/SystemSettingUi.cpp" line="-45"/>
        <source>Rotation</source>
        <translation>Rotación</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>| Default</source>
        <translation>| Predeterminado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Click</source>
        <translation>Clic</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off auto-framing</source>
        <translation>Activar/desactivar el encuadre automático</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Click</source>
        <translation>Doble clic</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Turn on/off virtual background  (blur/green screen/replacement)</source>
        <translation>Activar/desactivar el fondo virtual (desenfoque/pantalla verde/reemplazo)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Long press for 3 seconds</source>
        <translation>Mantener pulsado 3 segundos</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Sleep/Wake up the device</source>
        <translation>Suspender/activar el dispositivo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>| Rotation</source>
        <translation>| Rotación</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Switch to next mode in the following order: standard-&gt;auto-framing-&gt;virtual background</source>
        <translation>Cambia al modo siguiente en este orden: estándar-&gt;encuadre automático-&gt;fondo virtual</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Button Mode Description</source>
        <translation>Descripción de los modos del botón</translation>
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
        <translation>Consejo</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>The Virtual Background features are now in beta version and will give further updates to polish the effect.</source>
        <translation>Las funciones de fondo virtual están en versión beta y recibirán nuevas actualizaciones para mejorar el efecto.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>KAVORA Zarvo Remote Controller</source>
        <translation>Mando a distancia KAVORA Zarvo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Compatible remote controller: %1</source>
        <translation>Mando a distancia compatible: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The remote control keys may conflict with some software shortcuts keys. In case of conflict, please turn off or change other software shortcuts keys.</source>
        <translation>Las teclas del mando pueden entrar en conflicto con los atajos de teclado de otros programas. En ese caso, desactive o cambie los atajos del otro programa.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」</source>
        <translation>Por ejemplo, el atajo「Rotación de pantalla」del「Centro de control de gráficos Intel ®」</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K during the upgrade, such as %1, etc.</source>
        <translation>Durante la actualización, cierre todas las aplicaciones que puedan usar KAVORA Zarvo o Zarvo 4K, como %1, etc.</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Please upgrade to the v</source>
        <translation>Actualice a la v</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> or higher for new features with your ZarvoCam.</source>
        <translation> o superior para usar las nuevas funciones con su ZarvoCam.</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
</context>
<context>
    <name>UpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UpgradeProgress.cpp" line="+15"/>
        <source>Start to upgrade. Please do not disconnect!</source>
        <translation>Iniciando la actualización. ¡No desconecte el dispositivo!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning: Do not disconnect the device during upgrade, otherwise the device will crash!</source>
        <translation>Advertencia: ¡No desconecte el dispositivo durante la actualización, o el dispositivo se dañará!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Upgrade successfully!</source>
        <translation>¡Actualización completada!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>Error en la actualización, inténtelo de nuevo más tarde.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No response from device for a long time, please restart device and try again!</source>
        <translation>El dispositivo no responde desde hace mucho tiempo; ¡reinícielo e inténtelo de nuevo!</translation>
    </message>
</context>
<context>
    <name>UvcUpgradeProgress</name>
    <message>
        <location filename="../../src/uicomm/UvcUpgradeProgress.cpp" line="+24"/>
        <location line="+39"/>
        <source>Upgrade failed, please try again later.</source>
        <translation>Error en la actualización, inténtelo de nuevo más tarde.</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Microsoft Teams, Skype, OBS Studio, etc.
</source>
        <translation>Advertencia:
1 ¡No desconecte el dispositivo durante la actualización, o el dispositivo se dañará!
2 Durante la actualización, cierre todas las aplicaciones que puedan usar el dispositivo, como Zoom, Microsoft Teams, Skype, OBS Studio, etc.
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
        <translation>Error en la actualización, inténtelo de nuevo más tarde.</translation>
    </message>
    <message>
        <location line="-28"/>
        <location line="+975"/>
        <source>Warning: Please close any other programs that might use device!</source>
        <translation>Advertencia: ¡Cierre cualquier otro programa que pueda usar el dispositivo!</translation>
    </message>
    <message>
        <location line="-950"/>
        <source>The ugprade package is out of date.</source>
        <translation>El paquete de actualización está obsoleto.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upgrade successfully!</source>
        <translation>¡Actualización completada!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Warning:
1 Do not disconnect the device during upgrade, otherwise the device will crash!
2 Please close all applications that may use the device during the upgrade, such as Zoom, Skype, Teams and OBS.
</source>
        <translation>Advertencia:
1 ¡No desconecte el dispositivo durante la actualización, o el dispositivo se dañará!
2 Durante la actualización, cierre todas las aplicaciones que puedan usar el dispositivo, como Zoom, Skype, Teams y OBS.
</translation>
    </message>
</context>
</TS>
