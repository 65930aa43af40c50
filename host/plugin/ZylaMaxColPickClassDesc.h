#pragma once

#include "host/sdk/MaxSdk.h"

// Tells 3ds Max about the one class of the library, the colour picker, and makes its
// instances.
class ZylaMaxColPickClassDesc : public ClassDesc2
{
public:
    static constexpr Class_ID PickerClassId{0x079A7D2C, 0x19C33D87};

    // The process-wide descriptor.
    static ZylaMaxColPickClassDesc &instance();

    int IsPublic() override { return 1; }
    void *Create(BOOL loading = FALSE) override;
    const MCHAR *ClassName() override { return InternalName(); }
    SClass_ID SuperClassID() override { return COLPICK_CLASS_ID; }
    Class_ID ClassID() override { return PickerClassId; }
    const MCHAR *Category() override;
    const MCHAR *InternalName() override;
    HINSTANCE HInstance() override;

    // Whether the engine started, so that instances can be made.
    static void setEngineStarted(bool started);
};
