#include "settingsStore.h"
#include "textsAndMessages.h"

static const DWORD SETTINGS_ACCESS = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

static const char makerName[] = "Velmora";
const char settingsKey[] = "Settings";

static HKEY productKey;
DWORD alwaysOnTop;
DWORD autoCopy;

static HKEY createKey(HKEY parent, const char* name)
{
    HKEY key = 0;
    DWORD disposition;
    if (RegCreateKeyExA(parent, name, 0, 0, REG_OPTION_NON_VOLATILE, SETTINGS_ACCESS, 0, &key, &disposition)
        != ERROR_SUCCESS)
        return 0;
    return key;
}

int openProductKey()
{
    HKEY software;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, SETTINGS_ACCESS, &software) != ERROR_SUCCESS)
        return 0;
    HKEY maker = createKey(software, makerName);
    RegCloseKey(software);
    if (!maker)
        return 0;
    productKey = createKey(maker, productName);
    RegCloseKey(maker);
    return productKey != 0;
}

void closeProductKey()
{
    RegCloseKey(productKey);
}

static HKEY openSubkey(const char* subkey)
{
    if (!productKey)
        return 0;
    return createKey(productKey, subkey);
}

int readBinaryValue(const char* subkey, const char* name, void* buffer, DWORD* size)
{
    HKEY key = openSubkey(subkey);
    if (!key)
        return 0;
    LONG result = RegQueryValueExA(key, name, 0, 0, (BYTE*)buffer, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

static int readDwordValue(const char* subkey, const char* name, DWORD* value)
{
    DWORD read = *value;
    DWORD size = sizeof read;
    if (!readBinaryValue(subkey, name, &read, &size))
        return 0;
    *value = read;
    return 1;
}

static int writeDwordValue(const char* subkey, const char* name, DWORD value)
{
    HKEY key = openSubkey(subkey);
    if (!key)
        return 0;
    LONG result = RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int writeBinaryValue(const char* subkey, const char* name, const void* data, DWORD size)
{
    HKEY key = openSubkey(subkey);
    if (!key)
        return 0;
    LONG result = RegSetValueExA(key, name, 0, REG_BINARY, (const BYTE*)data, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void loadSettings()
{
    DWORD value = 0;
    readDwordValue(settingsKey, "AlwaysOnTop", &value);
    alwaysOnTop = value;
    value = 0;
    readDwordValue(settingsKey, "AutoCopy", &value);
    autoCopy = value;
}

void saveSettings()
{
    writeDwordValue(settingsKey, "AlwaysOnTop", alwaysOnTop);
    writeDwordValue(settingsKey, "AutoCopy", autoCopy);
}
