#pragma once
// The class ids of the module's two COM classes.
#include <windows.h>

namespace brevin {

// {495AA21A-1093-4B7E-90BB-3EC9555F7511}
inline constexpr CLSID CLSID_BrevinFilter = {
    0x495AA21A, 0x1093, 0x4B7E, {0x90, 0xBB, 0x3E, 0xC9, 0x55, 0x5F, 0x75, 0x11}};

// {1B8FD398-62BD-4516-B367-F2D83B5D1FDB}
inline constexpr CLSID CLSID_BrevinPropertyPage = {
    0x1B8FD398, 0x62BD, 0x4516, {0xB3, 0x67, 0xF2, 0xD8, 0x3B, 0x5D, 0x1F, 0xDB}};

}  // namespace brevin
