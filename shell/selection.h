// The items Explorer hands an extension: the paths of a CF_HDROP data object.
#pragma once

#include <objidl.h>

#include <string>
#include <vector>

// Every path of data's CF_HDROP, in its order, as the platform gives them (UTF-16). E_INVALIDARG
// when data holds no CF_HDROP; no exception leaves.
HRESULT ReadSelection(IDataObject* data, std::vector<std::wstring>& paths);
