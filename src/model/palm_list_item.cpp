#include "model/palm_list_item.h"

#include "model/archive.h"

namespace tallowmere {

void CPalmListItem::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteInt32(recordNumber_);
        ar.WriteByte(attribute_);
    } else {
        recordNumber_ = ar.ReadInt32();
        attribute_ = ar.ReadByte();
    }
}

}  // namespace tallowmere
