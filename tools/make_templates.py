#!/usr/bin/env python3
"""Writes the six dialog templates src/ui/templates/<id>.ui.

One layout per dialog, labels in three languages: the chooser is 135
(Simplified Chinese), 139 (Traditional Chinese), 137 (English); the
geographic system editor is 136, 140, 138. Every control carries its numeric
ID in the dynamic property `controlId`. Run it after changing a layout or a
label, and commit the result.
"""
import os
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape

LANGS = {"zh_CN": 0, "zh_TW": 1, "en": 2}

CHOOSER_IDS = {"zh_CN": 135, "zh_TW": 139, "en": 137}
EDITOR_IDS = {"zh_CN": 136, "zh_TW": 140, "en": 138}

T = {
    "chooser_title": ("选择坐标系", "選擇座標系", "Choose Coordinate System"),
    "search": ("搜索：", "搜尋：", "Search:"),
    "search_hint": ("名称、词语或 EPSG 代码（Ctrl+F）", "名稱、詞語或 EPSG 代碼（Ctrl+F）",
                    "Name, words or EPSG code (Ctrl+F)"),
    "search_tip": ("输入名称中的词语或 EPSG 代码；方向键选择，回车确定，Esc 关闭列表",
                   "輸入名稱中的詞語或 EPSG 代碼；方向鍵選擇，Enter 確定，Esc 關閉列表",
                   "Type words of a name or an EPSG code; arrows move, Enter chooses, Escape closes the list"),
    "system": ("坐标系", "座標系", "Coordinate system"),
    "type": ("类型：", "類型：", "Type:"),
    "category": ("类别：", "類別：", "Category:"),
    "geog": ("地理坐标系", "地理座標系", "Geographic coordinate system"),
    "new_geog": ("新建…", "新建…", "New…"),
    "new_geog_tip": ("定义新的地理坐标系", "定義新的地理座標系", "Define a new geographic coordinate system"),
    "projection": ("投影", "投影", "Projection"),
    "method": ("投影方法：", "投影方法：", "Method:"),
    "zone": ("分带：", "分帶：", "Zone:"),
    "params_tip": ("单击选中参数值，再次单击编辑", "單擊選中參數值，再次單擊編輯",
                   "Click a value to select it, click it again to edit it"),
    "unit": ("线性单位", "線性單位", "Linear unit"),
    "unit_label": ("单位：", "單位：", "Unit:"),
    "factor": ("每单位米数：", "每單位米數：", "Metres per unit:"),
    "height": ("高程", "高程", "Height"),
    "height_label": ("高程系统：", "高程系統：", "Height:"),
    "height_tip": ("随平面坐标系一起返回的高程：无、椭球高，或输入词语查找高程系统",
                   "隨平面座標系一起返回的高程：無、橢球高，或輸入詞語查找高程系統",
                   "The height returned with the horizontal system: none, the ellipsoid's, or a vertical system (type words to find one)"),
    "import": ("导入…", "導入…", "Import…"),
    "import_tip": ("从 .prj、.img 或 .tif 文件导入坐标系", "從 .prj、.img 或 .tif 文件導入座標系",
                   "Import the coordinate system of a .prj, .img or .tif file"),
    "save": ("另存为 .prj…", "另存為 .prj…", "Save as .prj…"),
    "save_tip": ("将当前坐标系保存为 .prj 文件", "將當前座標系保存為 .prj 文件",
                 "Save the current coordinate system to a .prj file"),
    "ok": ("确定", "確定", "OK"),
    "cancel": ("取消", "取消", "Cancel"),
    "editor_title": ("新建地理坐标系", "新建地理座標系", "New Geographic Coordinate System"),
    "name": ("名称：", "名稱：", "Name:"),
    "datum": ("基准面", "基準面", "Datum"),
    "ellipsoid": ("椭球体", "橢球體", "Ellipsoid"),
    "semi_major": ("长半轴：", "長半軸：", "Semi-major axis:"),
    "semi_minor": ("短半轴：", "短半軸：", "Semi-minor axis:"),
    "inv_flat": ("扁率倒数：", "扁率倒數：", "Inverse flattening:"),
    "shift": ("转换到 WGS 84 的七参数", "轉換到 WGS 84 的七參數", "Shift to WGS 84"),
    "dx": ("X 平移（米）：", "X 平移（米）：", "X translation (m):"),
    "dy": ("Y 平移（米）：", "Y 平移（米）：", "Y translation (m):"),
    "dz": ("Z 平移（米）：", "Z 平移（米）：", "Z translation (m):"),
    "rx": ("X 旋转（秒）：", "X 旋轉（秒）：", "X rotation (arc-seconds):"),
    "ry": ("Y 旋转（秒）：", "Y 旋轉（秒）：", "Y rotation (arc-seconds):"),
    "rz": ("Z 旋转（秒）：", "Z 旋轉（秒）：", "Z rotation (arc-seconds):"),
    "scale": ("尺度（ppm）：", "尺度（ppm）：", "Scale difference (ppm):"),
    "angular": ("角度单位", "角度單位", "Angular unit"),
    "radians": ("每单位弧度数：", "每單位弧度數：", "Radians per unit:"),
    "meridian": ("本初子午线", "本初子午線", "Prime meridian"),
    "longitude": ("经度：", "經度：", "Longitude:"),
}


def tr(key, lang):
    return T[key][LANGS[lang]]


class Ui:
    def __init__(self):
        self.out = []
        self.n = 0

    def name(self, base):
        self.n += 1
        return f"{base}_{self.n}"

    def add(self, s):
        self.out.append(s)


def prop(name, body, stdset=True):
    attr = "" if stdset else ' stdset="0"'
    return f'<property name="{name}"{attr}>{body}</property>'


def string(text):
    return f"<string>{escape(text)}</string>"


def widget(ui, cls, base, props=(), cid=None, children=""):
    n = ui.name(base)
    p = "".join(props)
    if cid is not None:
        p += prop("controlId", f"<number>{cid}</number>", stdset=False)
    return f'<widget class="{cls}" name="{n}">{p}{children}</widget>'


def label(ui, text, buddy=None):
    return widget(ui, "QLabel", "label", [prop("text", string(text))])


def combo(ui, cid, base="combo"):
    return widget(ui, "QComboBox", base, [
        prop("sizeAdjustPolicy", "<enum>QComboBox::AdjustToMinimumContentsLengthWithIcon</enum>"),
        prop("minimumContentsLength", "<number>24</number>"),
        prop("maxVisibleItems", "<number>20</number>"),
    ], cid)


def edit(ui, cid, base="edit"):
    return widget(ui, "QLineEdit", base, [], cid)


def button(ui, cid, text, tip=None, default=False):
    props = [prop("text", string(text))]
    if tip:
        props.append(prop("toolTip", string(tip)))
    if default:
        props.append(prop("default", "<bool>true</bool>"))
    return widget(ui, "QPushButton", "button", props, cid)


def radio(ui, cid, text):
    return widget(ui, "QRadioButton", "radio", [prop("text", string(text))], cid)


def item(w, row=None, col=None, rowspan=None, colspan=None):
    attrs = ""
    if row is not None:
        attrs += f' row="{row}" column="{col}"'
    if rowspan is not None:
        attrs += f' rowspan="{rowspan}" colspan="{colspan}"'
    return f"<item{attrs}>{w}</item>"


def spacer(ui, horizontal=True):
    n = ui.name("spacer")
    orient = "Qt::Horizontal" if horizontal else "Qt::Vertical"
    return (f'<spacer name="{n}">{prop("orientation", f"<enum>{orient}</enum>")}'
            f'{prop("sizeHint", "<size><width>20</width><height>20</height></size>", True)}</spacer>')


def layout(ui, cls, items, base="layout", stretch=None, column_stretch=None, row_stretch=None):
    n = ui.name(base)
    attrs = ""
    if stretch:
        attrs += f' stretch="{stretch}"'
    if column_stretch:
        attrs += f' columnstretch="{column_stretch}"'
    if row_stretch:
        attrs += f' rowstretch="{row_stretch}"'
    return f'<layout class="{cls}" name="{n}"{attrs}>{"".join(items)}</layout>'


def group(ui, title, lay):
    return widget(ui, "QGroupBox", "group", [prop("title", string(title))], children=lay)


def document(title, width, height, body):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<ui version="4.0">\n'
            '<class>Dialog</class>\n'
            '<widget class="QDialog" name="Dialog">'
            f'{prop("geometry", f"<rect><x>0</x><y>0</y><width>{width}</width><height>{height}</height></rect>")}'
            f'{prop("windowTitle", string(title))}'
            f'{prop("sizeGripEnabled", "<bool>true</bool>")}'
            f'{body}</widget>\n<resources/>\n<connections/>\n</ui>\n')


def chooser(lang):
    ui = Ui()
    search_field = widget(ui, "QLineEdit", "search", [
        prop("placeholderText", string(tr("search_hint", lang))),
        prop("toolTip", string(tr("search_tip", lang))),
    ], 1094)
    search = layout(ui, "QHBoxLayout", [item(label(ui, tr("search", lang))), item(search_field)],
                    stretch="0,1")
    system = group(ui, tr("system", lang), layout(ui, "QGridLayout", [
        item(label(ui, tr("type", lang)), 0, 0), item(combo(ui, 1093), 0, 1),
        item(label(ui, tr("category", lang)), 1, 0), item(combo(ui, 1062), 1, 1),
    ], column_stretch="0,1"))
    summary = widget(ui, "QPlainTextEdit", "summary", [
        prop("readOnly", "<bool>true</bool>"),
        prop("maximumSize", "<size><width>16777215</width><height>80</height></size>"),
        prop("minimumSize", "<size><width>220</width><height>80</height></size>"),
        prop("lineWrapMode", "<enum>QPlainTextEdit::NoWrap</enum>"),
        prop("focusPolicy", "<enum>Qt::ClickFocus</enum>"),
        prop("verticalScrollBarPolicy", "<enum>Qt::ScrollBarAlwaysOff</enum>"),
    ], 1081)
    new_button = layout(ui, "QHBoxLayout", [
        item(button(ui, 1060, tr("new_geog", lang), tr("new_geog_tip", lang))), item(spacer(ui)),
    ])
    geog = group(ui, tr("geog", lang), layout(ui, "QGridLayout", [
        item(combo(ui, 1059), 0, 0),
        item(new_button, 1, 0),
        item(summary, 0, 1, 2, 1),
    ], column_stretch="1,1"))
    table = widget(ui, "QTableWidget", "parameters", [
        prop("toolTip", string(tr("params_tip", lang))),
        prop("minimumSize", "<size><width>0</width><height>140</height></size>"),
    ], 1091)
    # The map of the area of use (made by the chooser in this place) beside
    # the parameters, clear of the search's list that opens over the top.
    proj = group(ui, tr("projection", lang), layout(ui, "QGridLayout", [
        item(label(ui, tr("zone", lang)), 0, 0), item(combo(ui, 1058), 0, 1, 1, 2),
        item(label(ui, tr("method", lang)), 1, 0), item(combo(ui, 1055), 1, 1, 1, 2),
        item(table, 2, 0, 1, 2),
        item(widget(ui, "QWidget", "map", [], 1096), 2, 2),
        item(widget(ui, "QLabel", "code", [prop("textInteractionFlags", "<set>Qt::TextSelectableByMouse</set>")], 1095),
             3, 0, 1, 3),
    ], column_stretch="0,2,1", row_stretch="0,0,1,0"))
    unit = group(ui, tr("unit", lang), layout(ui, "QHBoxLayout", [
        item(label(ui, tr("unit_label", lang))), item(combo(ui, 1061)),
        item(label(ui, tr("factor", lang))), item(edit(ui, 1092)),
    ], stretch="0,1,0,1"))
    # Shown only when the host asks for a height, or hands in a system with one.
    height_combo = widget(ui, "QComboBox", "height", [
        prop("sizeAdjustPolicy", "<enum>QComboBox::AdjustToMinimumContentsLengthWithIcon</enum>"),
        prop("minimumContentsLength", "<number>24</number>"),
        prop("maxVisibleItems", "<number>20</number>"),
        prop("toolTip", string(tr("height_tip", lang))),
    ], 1097)
    height = widget(ui, "QGroupBox", "heightGroup", [prop("title", string(tr("height", lang))),
                                                      prop("visible", "<bool>false</bool>")], 1099,
                    layout(ui, "QGridLayout", [
                        item(label(ui, tr("height_label", lang)), 0, 0), item(height_combo, 0, 1),
                        item(widget(ui, "QLabel", "heightNote", [prop("wordWrap", "<bool>true</bool>")], 1098),
                             1, 1),
                    ], column_stretch="0,1"))
    buttons = layout(ui, "QHBoxLayout", [
        item(button(ui, 1056, tr("import", lang), tr("import_tip", lang))),
        item(button(ui, 1057, tr("save", lang), tr("save_tip", lang))),
        item(spacer(ui)),
        item(button(ui, 1, tr("ok", lang), default=True)),
        item(button(ui, 2, tr("cancel", lang))),
    ])
    body = layout(ui, "QVBoxLayout", [item(search), item(system), item(geog), item(proj), item(unit), item(height),
                                      item(buttons)],
                  stretch="0,0,0,1,0,0,0")
    return document(tr("chooser_title", lang), 660, 720, body)


def editor(lang):
    ui = Ui()
    name = layout(ui, "QHBoxLayout", [item(label(ui, tr("name", lang))), item(edit(ui, 1036))])
    datum = group(ui, tr("datum", lang), layout(ui, "QHBoxLayout", [item(combo(ui, 1084))]))
    ellipsoid = group(ui, tr("ellipsoid", lang), layout(ui, "QGridLayout", [
        item(combo(ui, 1067), 0, 0, 1, 2),
        item(label(ui, tr("semi_major", lang)), 1, 0), item(edit(ui, 1039), 1, 1),
        item(radio(ui, 1078, tr("semi_minor", lang)), 2, 0), item(edit(ui, 1041), 2, 1),
        item(radio(ui, 1079, tr("inv_flat", lang)), 3, 0), item(edit(ui, 1044), 3, 1),
    ]))
    shift = group(ui, tr("shift", lang), layout(ui, "QGridLayout", [
        item(label(ui, tr("dx", lang)), 0, 0), item(edit(ui, 1070), 0, 1),
        item(label(ui, tr("rx", lang)), 0, 2), item(edit(ui, 1073), 0, 3),
        item(label(ui, tr("dy", lang)), 1, 0), item(edit(ui, 1071), 1, 1),
        item(label(ui, tr("ry", lang)), 1, 2), item(edit(ui, 1074), 1, 3),
        item(label(ui, tr("dz", lang)), 2, 0), item(edit(ui, 1072), 2, 1),
        item(label(ui, tr("rz", lang)), 2, 2), item(edit(ui, 1075), 2, 3),
        item(label(ui, tr("scale", lang)), 3, 0), item(edit(ui, 1077), 3, 1),
    ]))
    angular = group(ui, tr("angular", lang), layout(ui, "QHBoxLayout", [
        item(combo(ui, 1085)), item(label(ui, tr("radians", lang))), item(edit(ui, 1086)),
    ]))
    meridian = group(ui, tr("meridian", lang), layout(ui, "QHBoxLayout", [
        item(combo(ui, 1087)), item(label(ui, tr("longitude", lang))),
        item(edit(ui, 1088)), item(label(ui, "°")),
        item(edit(ui, 1089)), item(label(ui, "′")),
        item(edit(ui, 1090)), item(label(ui, "″")),
    ]))
    buttons = layout(ui, "QHBoxLayout", [
        item(spacer(ui)),
        item(button(ui, 1, tr("ok", lang), default=True)),
        item(button(ui, 2, tr("cancel", lang))),
    ])
    body = layout(ui, "QVBoxLayout", [item(name), item(datum), item(ellipsoid), item(shift),
                                      item(angular), item(meridian), item(buttons)])
    return document(tr("editor_title", lang), 620, 560, body)


def indented(text):
    """One element per line, indented, so that a change reads well in a diff."""
    root = ET.fromstring(text.encode("utf-8"))
    ET.indent(root, space="  ")
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(root, encoding="unicode") + "\n"


def main():
    folder = os.path.join(os.path.dirname(__file__), "..", "src", "ui", "templates")
    for lang in LANGS:
        for ids, make in ((CHOOSER_IDS, chooser), (EDITOR_IDS, editor)):
            with open(os.path.join(folder, f"{ids[lang]}.ui"), "w", encoding="utf-8") as f:
                f.write(indented(make(lang)))


if __name__ == "__main__":
    main()
