# Palettra for Blender: picks a paint colour with the Palettra picker and gives it to the
# active material or the active object, with the paint's code, name and collection.
#
# The picker runs as a program of its own (`palettra --pick --format json`), so Blender
# stays responsive while it is open: the operator polls it from a timer. In background
# mode (scripts, tests) it waits for the picker instead.

bl_info = {
    "name": "Palettra paint colours",
    "author": "Orva Tavel",
    "version": (4, 0, 0),
    "blender": (3, 4, 0),
    "location": "Properties > Material, Properties > Object > Viewport Display",
    "description": "Pick a paint colour from a colour collection for a material or an object",
    "category": "Material",
}

import json
import os
import shlex
import shutil
import subprocess

import bpy

DEFAULT_MATERIAL_PREFIX = "Material"


def srgb_to_linear(channel):
    """One sRGB channel (0 to 1) in Blender's scene-linear values."""
    if channel <= 0.04045:
        return channel / 12.92
    return ((channel + 0.055) / 1.055) ** 2.4


def linear_colour(pick):
    """The picked chip's RGBA in scene-linear values, alpha 1."""
    red, green, blue = (value / 255.0 for value in pick["rgb"])
    return (srgb_to_linear(red), srgb_to_linear(green), srgb_to_linear(blue), 1.0)


def paint_label(pick):
    """"<code> <first name>", or the code alone."""
    names = pick.get("names") or []
    return (pick.get("code", "") + " " + names[0]).strip() if names else pick.get("code", "")


def remember_paint(target, pick):
    """The paint as custom properties, for a later pick or a script to read."""
    names = pick.get("names") or []
    target["palettra_code"] = pick.get("code", "")
    target["palettra_name"] = names[0] if names else ""
    target["palettra_collection"] = pick.get("collectionName", "")
    target["palettra_collection_uuid"] = pick.get("collection", "")
    target["palettra_hex"] = pick.get("hex", "")


def has_default_name(material):
    name = material.name
    if name == DEFAULT_MATERIAL_PREFIX:
        return True
    prefix = DEFAULT_MATERIAL_PREFIX + "."
    return name.startswith(prefix) and name[len(prefix):].isdigit()


def apply_to_material(obj, pick):
    """The active material of the object (made when it has none) takes the paint."""
    material = obj.active_material
    if material is None:
        material = bpy.data.materials.new(DEFAULT_MATERIAL_PREFIX)
        if obj.data is not None and hasattr(obj.data, "materials"):
            obj.data.materials.append(material)
            obj.active_material_index = len(obj.data.materials) - 1
        else:
            obj.active_material = material
    colour = linear_colour(pick)
    material.use_nodes = True
    for node in material.node_tree.nodes:
        if node.type == "BSDF_PRINCIPLED":
            node.inputs["Base Color"].default_value = colour
            break
    material.diffuse_color = colour
    if has_default_name(material):
        material.name = paint_label(pick)
    remember_paint(material, pick)
    return material


def apply_to_object(obj, pick):
    """The object's viewport display colour takes the paint."""
    obj.color = linear_colour(pick)
    remember_paint(obj, pick)
    return obj


def preferences(context):
    addon = context.preferences.addons.get(__name__)
    return addon.preferences if addon else None


def picker_command(context):
    """The command line of the picker, or None when the program cannot be found."""
    prefs = preferences(context)
    program = prefs.program.strip() if prefs and prefs.program else ""
    if program:
        program = bpy.path.abspath(program)
        if not (os.path.isfile(program) and os.access(program, os.X_OK)):
            found = shutil.which(program)
            if found is None:
                return None
            program = found
    else:
        program = shutil.which("palettra")
        if program is None:
            return None
    command = [program, "--pick", "--format", "json"]
    if prefs and prefs.extra_arguments.strip():
        command += shlex.split(prefs.extra_arguments)
    command += shlex.split(os.environ.get("PALETTRA_PICK_ARGS", ""))
    return command


class PalettraPreferences(bpy.types.AddonPreferences):
    bl_idname = __name__

    program: bpy.props.StringProperty(
        name="Picker program",
        description="The palettra program; empty: found on the search path",
        subtype="FILE_PATH",
        default="",
    )
    extra_arguments: bpy.props.StringProperty(
        name="Extra arguments",
        description="Further options for the picker, e.g. --collection and --tab",
        default="",
    )

    def draw(self, context):
        self.layout.prop(self, "program")
        self.layout.prop(self, "extra_arguments")


class PickPaintColour:
    """What both operators share: run the picker, wait for it without blocking Blender,
    and apply what it printed; a cancel changes nothing."""

    _process = None
    _timer = None

    def apply(self, context, obj, pick):
        raise NotImplementedError

    def target(self, context):
        return context.active_object

    @classmethod
    def poll(cls, context):
        return context.active_object is not None

    def start(self, context):
        command = picker_command(context)
        if command is None:
            self.report({"ERROR"}, "Palettra: the palettra program was not found (see the add-on's preferences)")
            return None
        try:
            return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        except OSError as error:
            self.report({"ERROR"}, "Palettra: cannot start %s: %s" % (command[0], error))
            return None

    def finish(self, context, process):
        out, err = process.communicate()
        if process.returncode == 1:
            self.report({"INFO"}, "Palettra: no colour picked")
            return {"CANCELLED"}
        if process.returncode != 0:
            message = (err or "").strip().splitlines()
            self.report({"ERROR"}, "Palettra: " + (message[-1] if message else "the picker failed (%d)" % process.returncode))
            return {"CANCELLED"}
        try:
            pick = json.loads(out.strip().splitlines()[-1])
            pick["rgb"] = [int(value) for value in pick["rgb"]]
        except (ValueError, KeyError, IndexError, TypeError):
            self.report({"ERROR"}, "Palettra: the picker answered something that is no colour")
            return {"CANCELLED"}
        obj = self.target(context)
        if obj is None:
            self.report({"ERROR"}, "Palettra: no active object")
            return {"CANCELLED"}
        self.apply(context, obj, pick)
        self.report({"INFO"}, "Palettra: %s %s" % (paint_label(pick), pick.get("hex", "")))
        return {"FINISHED"}

    def execute(self, context):
        process = self.start(context)
        if process is None:
            return {"CANCELLED"}
        return self.finish(context, process)

    def invoke(self, context, event):
        # Scripts and background runs wait for the answer; an interactive Blender polls it.
        if bpy.app.background:
            return self.execute(context)
        self._process = self.start(context)
        if self._process is None:
            return {"CANCELLED"}
        self._timer = context.window_manager.event_timer_add(0.2, window=context.window)
        context.window_manager.modal_handler_add(self)
        return {"RUNNING_MODAL"}

    def modal(self, context, event):
        if event.type != "TIMER" or self._process.poll() is None:
            return {"PASS_THROUGH"}
        context.window_manager.event_timer_remove(self._timer)
        return self.finish(context, self._process)


class PALETTRA_OT_pick_material_colour(PickPaintColour, bpy.types.Operator):
    """Pick a paint colour for the active material (made when the object has none)"""

    bl_idname = "palettra.pick_material_colour"
    bl_label = "Pick Paint Colour"
    bl_options = {"REGISTER", "UNDO"}

    def apply(self, context, obj, pick):
        apply_to_material(obj, pick)


class PALETTRA_OT_pick_object_colour(PickPaintColour, bpy.types.Operator):
    """Pick a paint colour for the active object's viewport display colour"""

    bl_idname = "palettra.pick_object_colour"
    bl_label = "Pick Object Colour"
    bl_options = {"REGISTER", "UNDO"}

    def apply(self, context, obj, pick):
        apply_to_object(obj, pick)


class PALETTRA_PT_material(bpy.types.Panel):
    bl_label = "Paint Colour"
    bl_idname = "PALETTRA_PT_material"
    bl_space_type = "PROPERTIES"
    bl_region_type = "WINDOW"
    bl_context = "material"

    @classmethod
    def poll(cls, context):
        return context.active_object is not None

    def draw(self, context):
        layout = self.layout
        layout.operator(PALETTRA_OT_pick_material_colour.bl_idname, icon="COLOR")
        material = context.active_object.active_material
        if material is not None and material.get("palettra_code"):
            layout.label(text="%s %s (%s)" % (material["palettra_code"], material.get("palettra_name", ""),
                                              material.get("palettra_collection", "")))


def draw_object_display(self, context):
    self.layout.operator(PALETTRA_OT_pick_object_colour.bl_idname, icon="COLOR")


CLASSES = (
    PalettraPreferences,
    PALETTRA_OT_pick_material_colour,
    PALETTRA_OT_pick_object_colour,
    PALETTRA_PT_material,
)


def register():
    for cls in CLASSES:
        bpy.utils.register_class(cls)
    bpy.types.OBJECT_PT_display.append(draw_object_display)


def unregister():
    bpy.types.OBJECT_PT_display.remove(draw_object_display)
    for cls in reversed(CLASSES):
        bpy.utils.unregister_class(cls)
