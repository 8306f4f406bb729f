#include "device/UsbApplication.h"

bool UsbApplication::Open()
{
    return UsbVantrel::Open();
}

bool UsbApplication::Close()
{
    return UsbVantrel::Close();
}

bool UsbApplication::IsOpen() const
{
    return UsbVantrel::IsOpen();
}
