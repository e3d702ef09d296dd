#include "module/Messages.h"

#include "module/Language.h"

namespace {

struct MessageVariants {
    MessageId id;
    const char* simplified;
    const char* traditional;  // null: the English text stands in
    const char* english;
};

const MessageVariants kMessages[] = {
    {MessageId::UnknownSrs, "未知的坐标系！", "未知的座標系！", "Unknown spatial reference!"},
    {MessageId::UnknownSrsCaption, "选择坐标系", "選擇座標系", "Choose Coordinate"},
    {MessageId::CoordinateSetError, "坐标设置错误！", nullptr, "Coordinate set error!"},
    {MessageId::CannotSavePrj, "坐标设置错误，不能保存！", nullptr,
     "Coordinate set error! Can't save the prj file!"},
    {MessageId::SaveSucceeded, "保存成功！", nullptr, "Save successfully!"},
    {MessageId::SaveFailed, "保存失败！", nullptr, "Save unsuccessfully!"},
    {MessageId::CannotOpenPrj, "打开坐标文件失败！", "打開座標文件失敗！", "Can't open this prj file!"},
    {MessageId::NoCoordinateInfo, "未获取到坐标信息！", "未獲取到座標信息！", "No coordinate infomation!"},
    {MessageId::UnknownDataType, "未知的数据类型！", "未知的數據類型！", "Unknown data type!"},
    {MessageId::UnknownCoordinateInfo, "未知的坐标信息！", "未知的座標信息！",
     "Unknown coordinate infomation!"},
    {MessageId::PrjTooLarge, "%s 大于 1 MiB，不是坐标文件。", "%s 大於 1 MiB，不是座標文件。",
     "%s is larger than 1 MiB: no projection file is."},
    {MessageId::CannotReadFile, "无法读取 %s", "無法讀取 %s", "Cannot read %s"},
    {MessageId::CannotWriteFile, "无法写入 %s", "無法寫入 %s", "Cannot write %s"},
    {MessageId::EmptyGeogSystemName, "地理坐标系名字不能为空！", nullptr,
     "The geographic coordinate system name is empty!"},
    {MessageId::GeogSystemExists, "此地理坐标系已经存在，是否覆盖？", nullptr,
     "This geographic coordinate systems is exist, overwrite?"},
    {MessageId::BadSemiMajorAxis, "长半轴必须是正数！", "長半軸必須是正數！",
     "The semi-major axis must be a positive number!"},
    {MessageId::BadSemiMinorAxis, "短半轴必须是正数，且不大于长半轴！", "短半軸必須是正數，且不大於長半軸！",
     "The semi-minor axis must be a positive number no larger than the semi-major axis!"},
    {MessageId::BadInverseFlattening, "扁率倒数必须为 0（球体）或大于 1！", "扁率倒數必須為 0（球體）或大於 1！",
     "The inverse flattening must be 0 (a sphere) or greater than 1!"},
    {MessageId::BadAngularUnit, "角度单位的弧度数必须是正数！", "角度單位的弧度數必須是正數！",
     "The radians per angular unit must be a positive number!"},
    {MessageId::UnusableGeogSystem, "GDAL 无法使用此地理坐标系！", "GDAL 無法使用此地理座標系！",
     "GDAL cannot use this geographic coordinate system!"},
    {MessageId::CannotStoreGeogSystem, "无法保存此地理坐标系，它仅在本次选择中可用：",
     "無法保存此地理座標系，它僅在本次選擇中可用：",
     "The geographic coordinate system could not be saved; it stays available until the chooser closes:"},
    {MessageId::StoreNoHome, "没有可保存它的用户文件夹。", "沒有可保存它的使用者資料夾。",
     "there is no home folder to keep it in."},
    {MessageId::StoreCannotWrite, "用户坐标系文件无法写入（只读或磁盘已满）。",
     "使用者座標系檔案無法寫入（唯讀或磁碟已滿）。",
     "the user's catalogue cannot be written (it is read-only, or the disk is full)."},
    {MessageId::StoreLockBusy, "另一个程序正在写入用户坐标系文件，请稍后再试。",
     "另一個程式正在寫入使用者座標系檔案，請稍後再試。",
     "another program is writing the user's catalogue; try again later."},
    {MessageId::SaveLockBusy, "另一个程序正在写入该文件夹，请稍后再试。", "另一個程式正在寫入該資料夾，請稍後再試。",
     "another program is writing in that folder; try again later."},
    {MessageId::ProjDatabaseUnusable, "无法打开坐标系选择器：%s", "無法開啟座標系選擇器：%s",
     "The coordinate system chooser cannot open: %s"},
    {MessageId::StoreNotPrivate, "文件夹 %s 不是你独有的（属于其他用户，或其他用户可写入），不在其中保存。",
     "資料夾 %s 不是你獨有的（屬於其他使用者，或其他使用者可寫入），不在其中保存。",
     "the folder %s is not yours alone (another user's, or others may write in it): nothing is kept there."},
    {MessageId::CatalogueTooLarge, "坐标系文件 %s 大于 64 MiB，未读取。", "座標系檔案 %s 大於 64 MiB，未讀取。",
     "The catalogue %s is larger than 64 MiB and was not read."},
    {MessageId::RecentTooLarge, "最近使用的坐标系文件 %s 大于 1 MiB，未读取。", "最近使用的座標系檔案 %s 大於 1 MiB，未讀取。",
     "The file of recent systems %s is larger than 1 MiB and was not read."},
    {MessageId::FolderNotPrivate,
     "文件夹 %s 不是你独有的（属于其他用户，或其他用户可写入）：Orvane 既不读取也不保存其中的任何内容。",
     "資料夾 %s 不是你獨有的（屬於其他使用者，或其他使用者可寫入）：Orvane 既不讀取也不保存其中的任何內容。",
     "The folder %s is not yours alone (another user's, or others may write in it): Orvane neither reads nor keeps "
     "anything there."},
    {MessageId::SearchGeographic, "地理", "地理", "geographic"},
    {MessageId::SearchProjected, "投影", "投影", "projected"},
    {MessageId::SearchCatalogue, "坐标系文件", "座標系檔案", "catalogue"},
    {MessageId::SearchUser, "用户", "使用者", "user"},
    {MessageId::SearchRecent, "最近使用", "最近使用", "recent"},
    {MessageId::SearchColumnName, "名称", "名稱", "Name"},
    {MessageId::SearchColumnCode, "代码", "代碼", "Code"},
    {MessageId::SystemCodeLineName, "EPSG 代码", "EPSG 代碼", "EPSG code"},
    {MessageId::SearchColumnKind, "类型", "類型", "Kind"},
    {MessageId::SearchColumnArea, "使用范围", "使用範圍", "Area of use"},
    {MessageId::SearchRecentlyUsed, "最近使用", "最近使用", "Recently used"},
    {MessageId::SearchSystemsAt, "在 %s 使用的坐标系", "在 %s 使用的座標系", "Systems used at %s"},
    {MessageId::SearchNoMatch, "没有与“%s”匹配的坐标系", "沒有與「%s」相符的座標系", "No system matches '%s'"},
    {MessageId::SearchAlias, "别名：%s", "別名：%s", "alias: %s"},
    {MessageId::SearchListName, "找到的坐标系", "找到的座標系", "Systems found"},
    {MessageId::MapCentreOutside, "中央经线 %s 位于 %s 的范围（%s）之外", "中央經線 %s 位於 %s 的範圍（%s）之外",
     "Central meridian %s lies outside %s's area (%s)"},
    {MessageId::RefusedNoGeographicSystem, "所选的地理坐标系不在坐标系文件中。", "所選的地理座標系不在座標系檔案中。",
     "The chosen geographic coordinate system is not in the catalogue."},
    {MessageId::RefusedNoZone, "没有可用的分带：未选择分带，或中央经线不在任何 UTM 带内。",
     "沒有可用的分帶：未選擇分帶，或中央經線不在任何 UTM 帶內。",
     "No usable zone: none is chosen, or the central meridian lies in no UTM zone."},
    {MessageId::RefusedBadUnitFactor, "每单位米数必须是正数。", "每單位公尺數必須是正數。",
     "The metres per unit must be a positive number."},
    {MessageId::RefusedNotANumber, "%s 的值不是数字。", "%s 的值不是數字。", "The value of %s is not a number."},
    {MessageId::NotANumberDecimalComma, "%s 的值不是数字：小数点请用“.”，不用“,”。",
     "%s 的值不是數字：小數點請用「.」，不用「,」。",
     "The value of %s is not a number: write a decimal point, not a comma."},
    {MessageId::HeightNone, "无", "無", "None"},
    {MessageId::HeightEllipsoidal, "椭球高", "橢球高", "Ellipsoidal height"},
    {MessageId::HeightNeedsGeoidModel, "需要大地水准面模型 %s，本机未安装：坐标系可用，高程转换需要它。",
     "需要大地水準面模型 %s，本機未安裝：座標系可用，高程轉換需要它。",
     "needs the geoid model %s, not installed: the system is defined without it; a transformation needs it"},
    {MessageId::MapHeightArea, "%s；高程：%s", "%s；高程：%s", "%s; height: %s"},
    {MessageId::RefusedScaleFactorZero, "%s 不能为 0。", "%s 不能為 0。", "%s must not be 0."},
    {MessageId::RefusedParallelsMeet, "两条标准纬线不能互为相反数（%s）：无法构成圆锥。",
     "兩條標準緯線不能互為相反數（%s）：無法構成圓錐。",
     "The standard parallels meet (%s is the other's negative): they make no cone."},
    {MessageId::RefusedUnusable, "PROJ 无法使用此坐标系。", "PROJ 無法使用此座標系。",
     "PROJ cannot compute with this system."},
    {MessageId::RefusedUnusableBecause, "PROJ 无法使用此坐标系：%s", "PROJ 無法使用此座標系：%s",
     "PROJ cannot compute with this system: %s"},
    {MessageId::ParametersReadOnly, "此投影方法的坐标系无法由参数重新组成：参数按坐标系所给显示，坐标系按原样返回。",
     "此投影方法的座標系無法由參數重新組成：參數按座標系所給顯示，座標系按原樣返回。",
     "A system of this method cannot be composed from its parameters: they are shown as the system gives "
     "them, and the system comes back as it was given."},
    {MessageId::ImportTitle, "选择数据源", "選擇資料來源", "Select a Data Source"},
    {MessageId::CodeDeprecated, "%s（已废弃，由 %s 取代）", "%s（已廢棄，由 %s 取代）",
     "%s (deprecated, replaced by %s)"},
    {MessageId::CodeDeprecatedAlone, "%s（已废弃）", "%s（已廢棄）", "%s (deprecated)"},
    {MessageId::DatumEnsembleAccuracy, "精度：%s 米（基准集合）", "精度：%s 公尺（基準集合）",
     "Accuracy: %s m (datum ensemble)"},
    {MessageId::SavePrjTitle, "保存 Prj 文件", "儲存 Prj 檔案", "Save Prj File"},
};

}  // namespace

const char* MessageText(MessageId id, LanguageSet language)
{
    for (const MessageVariants& m : kMessages) {
        if (m.id != id)
            continue;
        if (language == 0)
            return m.simplified;
        if (language == 1 && m.traditional)
            return m.traditional;
        return m.english;
    }
    return "";
}

const char* MessageText(MessageId id)
{
    return MessageText(id, g_language);
}

std::string MessageWith(MessageId id, const std::string& inserted)
{
    return MessageWith(id, {inserted});
}

std::string MessageWith(MessageId id, std::initializer_list<std::string> inserted)
{
    std::string text = MessageText(id);
    std::size_t from = 0;
    for (const std::string& each : inserted) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, each);
        from = at + each.size();
    }
    return text;
}

std::string FileProblem(MessageId id, const std::string& path, const std::string& why)
{
    return MessageWith(id, path + (why.empty() ? "" : ": " + why));
}
