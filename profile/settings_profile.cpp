#include "profile/settings_profile.h"

#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "profile/profile_names.h"
#include "profile/profile_store.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

// The persisted fields in the order both load and save handle them.
template <typename Serial, typename Can, typename Tran, typename Connection, typename Visit>
void ForEachPersisted(Serial& serial, Can& can, Tran& tran, Connection& connection, Visit&& visit) {
    visit("CanBaudrate", can.CanBaudrate);
    visit("CanBTR0", can.CanBTR0);
    visit("CanBTR1", can.CanBTR1);
    visit("CanFrameType", can.CanFrameType);
    visit("CanFiterMode", can.CanFiterMode);
    visit("CanID", can.CanID);
    visit("CanAcptCode", can.CanAcptCode);
    visit("CanAcptMask", can.CanAcptMask);
    visit("SerialBaudrate", serial.SerialBaudrate);
    visit("SerialParity", serial.SerialParity);
    visit("SerialDataBit", serial.SerialDataBit);
    visit("SerialStopBit", serial.SerialStopBit);
    visit("SerialFlowCtrl", serial.SerialFlowCtrl);
    visit("TranMode", tran.TranMode);
    visit("TranDir", tran.TranDir);
    visit("TranSpace", tran.TranSpace);
    visit("TranID", tran.TranID);
    visit("TranInfo", tran.TranInfo);
    visit("TranIdBase", tran.TranIdBase);
    visit("TranLength", tran.TranLength);
    visit("DeviceType", connection.DeviceType);
    visit("ConfigPort", connection.ConfigPort);
}

}  // namespace

void LoadProfile(SerialSettings& serial, CanSettings& can, TranSettings& tran,
                 ConnectionSettings& connection) {
    const DeviceConfig fallback = ProfileFallbackConfig();
    std::vector<std::variant<int32_t, std::string>> defaults;
    ForEachPersisted(fallback.serial, fallback.can, fallback.tran, fallback.connection,
                     [&](std::string_view, const auto& value) { defaults.emplace_back(value); });

    ProfileTransaction transaction(ProfileAccess::kRead);
    size_t row = 0;
    ForEachPersisted(serial, can, tran, connection, [&](std::string_view key, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, int32_t>) {
            field = transaction.ReadInt(kProfileSection, key, std::get<int32_t>(defaults[row]));
        } else {
            field =
                transaction.ReadText(kProfileSection, key, std::get<std::string>(defaults[row]));
        }
        ++row;
    });
}

void LoadProfile(DeviceConfig& config) {
    LoadProfile(config.serial, config.can, config.tran, config.connection);
}

bool SaveProfile(const SerialSettings& serial, const CanSettings& can, const TranSettings& tran,
                 const ConnectionSettings& connection, std::string* error) {
    ProfileTransaction transaction;
    ForEachPersisted(serial, can, tran, connection, [&](std::string_view key, const auto& field) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, int32_t>) {
            transaction.WriteInt(kProfileSection, key, field);
        } else {
            transaction.WriteText(kProfileSection, key, field);
        }
    });
    MarkProfileSaved(transaction);
    if (transaction.Commit()) return true;
    if (error != nullptr) {
        *error = transaction.Error().empty()
                     ? text::translate("Profile", "the profile could not be written")
                     : transaction.Error();
    }
    return false;
}

bool SaveProfile(const DeviceConfig& config, std::string* error) {
    return SaveProfile(config.serial, config.can, config.tran, config.connection, error);
}

RegDocument ProfileDocument(const DeviceConfig& config) {
    const ProfileNames names = CurrentProfileNames();
    constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\Software";
    RegDocument doc;
    RegKey& section =
        doc.EnsureKey(kRoot, std::string(kRoot) + "\\" + names.registryKey + "\\" +
                                 names.applicationName + "\\" + std::string(kProfileSection));
    ForEachPersisted(config.serial, config.can, config.tran, config.connection,
                     [&](std::string_view key, const auto& field) {
                         using Field = std::remove_cvref_t<decltype(field)>;
                         if constexpr (std::is_same_v<Field, int32_t>) {
                             doc.Set(section, key, DwordValue(field));
                         } else {
                             doc.Set(section, key, TextValue(field));
                         }
                     });
    return doc;
}

}  // namespace linkmate
