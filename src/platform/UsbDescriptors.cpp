#include "platform/UsbDescriptors.h"

namespace vexo {
namespace pc {

namespace {

constexpr quint8 DescInterface = 0x04;
constexpr quint8 DescCsInterface = 0x24;
constexpr quint8 ClassVideo = 0x0e;
constexpr quint8 SubclassVideoControl = 0x01;
constexpr quint8 VcExtensionUnit = 0x06;
constexpr int XuGuidOffset = 4;
constexpr int XuMinLength = XuGuidOffset + 16;

} // namespace

QByteArray UsbDescriptors::guidBytes(const QUuid &guid)
{
    QByteArray b(16, '\0');
    b[0] = char(guid.data1 & 0xff);
    b[1] = char((guid.data1 >> 8) & 0xff);
    b[2] = char((guid.data1 >> 16) & 0xff);
    b[3] = char((guid.data1 >> 24) & 0xff);
    b[4] = char(guid.data2 & 0xff);
    b[5] = char((guid.data2 >> 8) & 0xff);
    b[6] = char(guid.data3 & 0xff);
    b[7] = char((guid.data3 >> 8) & 0xff);
    for (int i = 0; i < 8; ++i)
        b[8 + i] = char(guid.data4[i]);
    return b;
}

int UsbDescriptors::findExtensionUnit(const QByteArray &descriptors, const QUuid &guid)
{
    const QByteArray wanted = guidBytes(guid);
    const auto *d = reinterpret_cast<const quint8 *>(descriptors.constData());
    const int size = descriptors.size();
    bool inVideoControl = false;
    int pos = 0;
    while (pos + 2 <= size) {
        const int len = d[pos];
        const quint8 type = d[pos + 1];
        // A zero length would loop for ever; a descriptor running past the
        // end is cut off. Either way nothing after it can be trusted.
        if (len < 2 || pos + len > size)
            break;
        if (type == DescInterface && len >= 9) {
            inVideoControl = d[pos + 5] == ClassVideo && d[pos + 6] == SubclassVideoControl;
        } else if (inVideoControl && type == DescCsInterface && len >= XuMinLength
                   && d[pos + 2] == VcExtensionUnit) {
            if (descriptors.mid(pos + XuGuidOffset, 16) == wanted)
                return d[pos + 3];
        }
        pos += len;
    }
    return -1;
}

} // namespace pc
} // namespace vexo
