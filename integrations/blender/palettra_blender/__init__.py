# Palettra for Blender: picks a paint colour with the Palettra picker and gives it to a
# material or an object, with the paint's code, name and collection.
#
# The picker runs as a program of its own (`palettra --pick --format json`), so Blender
# stays responsive while it is open: the operator polls it from a timer. In background
# mode (scripts, tests) it waits for the picker instead. The object (and material slot)
# the colour goes to is fixed when the button is pressed; one picker is open at a time.

bl_info = {
    "name": "Palettra paint colours",
    "author": "Orva Tavel",
    "version": (4, 1, 0),
    "blender": (3, 4, 0),
    "location": "Properties > Material (top), 3D Viewport > Sidebar > Palettra, "
                "Properties > Object > Viewport Display",
    "description": "Pick a paint colour from a colour collection for a material or an object",
    "category": "Material",
}

import atexit
import json
import os
import re
import shlex
import shutil
import subprocess
import tempfile

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


def label_of(code, name):
    """"<code> <name>", or the code alone."""
    return ("%s %s" % (code, name)).strip() if name else (code or "")


def paint_label(pick):
    names = pick.get("names") or []
    return label_of(pick.get("code", ""), names[0] if names else "")


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


def name_follows_paint(material):
    """Whether the material's name is one this add-on gave: Blender's default, or the
    label of the paint recorded in it (with the number Blender adds to a taken name). A
    name the user typed is the user's."""
    if has_default_name(material):
        return True
    recorded = label_of(material.get("palettra_code", ""), material.get("palettra_name", ""))
    return bool(recorded) and re.fullmatch(re.escape(recorded) + r"(\.\d{3,})?", material.name) is not None


def can_hold_materials(obj):
    return obj is not None and obj.data is not None and hasattr(obj.data, "materials")


def apply_to_material(obj, slot, pick):
    """The material in the object's slot (made when there is none) takes the paint."""
    material = None
    if 0 <= slot < len(obj.material_slots):
        material = obj.material_slots[slot].material
    if material is None:
        material = bpy.data.materials.new(DEFAULT_MATERIAL_PREFIX)
        if 0 <= slot < len(obj.material_slots):
            obj.material_slots[slot].material = material
        else:
            obj.data.materials.append(material)
            obj.active_material_index = len(obj.data.materials) - 1
    colour = linear_colour(pick)
    material.use_nodes = True
    for node in material.node_tree.nodes:
        if node.type == "BSDF_PRINCIPLED":
            node.inputs["Base Color"].default_value = colour
            break
    material.diffuse_color = colour
    rename = name_follows_paint(material)
    remember_paint(material, pick)
    if rename:
        material.name = paint_label(pick)
    return material


def apply_to_object(obj, pick):
    """The object's viewport display colour takes the paint."""
    obj.color = linear_colour(pick)
    remember_paint(obj, pick)
    return obj


def viewport_shows_object_colours(context):
    """Whether a 3D viewport of the screen shows object colours; True when there is none
    to look at (scripts, background runs)."""
    screen = getattr(context, "screen", None)
    views = [area.spaces.active for area in screen.areas if area.type == "VIEW_3D"] if screen else []
    if not views:
        return True
    for view in views:
        shading = view.shading
        if (shading.type == "SOLID" and shading.color_type == "OBJECT") or (
                shading.type == "WIREFRAME" and shading.wireframe_color_type == "OBJECT"):
            return True
    return False


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


def picker_message(err, returncode):
    """The picker's last word on standard error, without its own "palettra: " prefix."""
    lines = [line.strip() for line in (err or "").splitlines() if line.strip()]
    if not lines:
        return "the picker failed (status %d)" % returncode
    return re.sub(r"^palettra:\s*", "", lines[-1], flags=re.IGNORECASE)


class PickTarget:
    """What a pick is for, fixed when the button is pressed: the object, and for a
    material the slot that was active."""

    def __init__(self, obj, kind):
        self.obj = obj
        self.name = obj.name
        self.kind = kind
        self.slot = obj.active_material_index if kind == "material" and len(obj.material_slots) else -1

    def resolve(self):
        """The object, or None when it was deleted meanwhile. After an undo Blender
        hands out new references: the name finds the object again."""
        try:
            name = self.obj.name
            if bpy.data.objects.get(name) == self.obj and self.obj.users > 0:
                return self.obj
        except ReferenceError:
            pass
        found = bpy.data.objects.get(self.name)
        return found if found is not None and found.users > 0 else None


class PendingPick:
    """A running picker. Its output goes to files, read as it comes by nobody and whole
    at the end: a picker that writes much (debug logging) never blocks on a full pipe."""

    def __init__(self, process, target, out_file, err_file):
        self.process = process
        self.target = target
        self.out_file = out_file
        self.err_file = err_file

    @classmethod
    def start(cls, command, target):
        out_file = tempfile.TemporaryFile(mode="w+", encoding="utf-8", errors="replace")
        err_file = tempfile.TemporaryFile(mode="w+", encoding="utf-8", errors="replace")
        try:
            process = subprocess.Popen(command, stdout=out_file, stderr=err_file, stdin=subprocess.DEVNULL)
        except OSError:
            out_file.close()
            err_file.close()
            raise
        return cls(process, target, out_file, err_file)

    def finished(self):
        return self.process.poll() is not None

    def wait(self):
        self.process.wait()

    def result(self):
        """(status, standard output, standard error) of the finished picker."""
        self.out_file.seek(0)
        self.err_file.seek(0)
        out, err = self.out_file.read(), self.err_file.read()
        self.close()
        return self.process.returncode, out, err

    def end(self):
        """Ends a picker that is still open: asked first, then made to."""
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=3)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.close()

    def close(self):
        for stream in (self.out_file, self.err_file):
            if not stream.closed:
                stream.close()


# The one pick that is open, if any.
_pending = None


def end_pending_pick(reason):
    """Ends the open picker, if any, and drops its pick."""
    global _pending
    if _pending is None:
        return False
    pending, _pending = _pending, None
    pending.end()
    print("Palettra: the open picker was closed and its pick dropped: %s" % reason)
    return True


@bpy.app.handlers.persistent
def end_pick_before_load(*_arguments):
    end_pending_pick("another file is being loaded")


atexit.register(lambda: end_pending_pick("Blender is quitting"))


class PickPaintColour:
    """What both operators share: fix the target, run the picker without blocking
    Blender, and apply what it printed; a cancel or an error changes nothing."""

    kind = ""
    _timer = None
    _mine = None

    def apply(self, context, obj, target, pick):
        raise NotImplementedError

    def start(self, context):
        global _pending
        if _pending is not None:
            self.report({"WARNING"}, "A Palettra picker is already open: pick there, or close it first")
            return None
        command = picker_command(context)
        if command is None:
            self.report({"ERROR"}, "The palettra program was not found (see the add-on's preferences)")
            return None
        try:
            _pending = PendingPick.start(command, PickTarget(context.active_object, self.kind))
        except OSError as error:
            self.report({"ERROR"}, "Cannot start %s: %s" % (command[0], error))
            return None
        return _pending

    def finish(self, context, pending):
        global _pending
        if _pending is pending:
            _pending = None
        returncode, out, err = pending.result()
        if returncode == 1:
            self.report({"INFO"}, "Palettra: no colour picked")
            return {"CANCELLED"}
        if returncode != 0:
            self.report({"ERROR"}, "Palettra: " + picker_message(err, returncode))
            return {"CANCELLED"}
        try:
            pick = json.loads(out.strip().splitlines()[-1])
            pick["rgb"] = [int(value) for value in pick["rgb"]]
        except (ValueError, KeyError, IndexError, TypeError):
            self.report({"ERROR"}, "Palettra: the picker answered something that is no colour")
            return {"CANCELLED"}
        obj = pending.target.resolve()
        if obj is None:
            self.report({"WARNING"}, "Palettra: %s was deleted while the picker was open; nothing changed"
                        % pending.target.name)
            return {"CANCELLED"}
        return self.apply(context, obj, pending.target, pick)

    def execute(self, context):
        pending = self.start(context)
        if pending is None:
            return {"CANCELLED"}
        pending.wait()
        return self.finish(context, pending)

    def invoke(self, context, event):
        # Scripts and background runs wait for the answer; an interactive Blender polls it.
        if bpy.app.background:
            return self.execute(context)
        self._mine = self.start(context)
        if self._mine is None:
            return {"CANCELLED"}
        self._timer = context.window_manager.event_timer_add(0.2, window=context.window)
        context.window_manager.modal_handler_add(self)
        return {"RUNNING_MODAL"}

    def modal(self, context, event):
        if event.type != "TIMER":
            return {"PASS_THROUGH"}
        if _pending is not self._mine:
            # Ended from outside (a file loaded): nothing to apply.
            context.window_manager.event_timer_remove(self._timer)
            return {"CANCELLED"}
        if not self._mine.finished():
            return {"PASS_THROUGH"}
        context.window_manager.event_timer_remove(self._timer)
        return self.finish(context, self._mine)


class PALETTRA_OT_pick_material_colour(PickPaintColour, bpy.types.Operator):
    """Pick a paint colour for the active material of the active object (made when it has none)"""

    bl_idname = "palettra.pick_material_colour"
    bl_label = "Pick Paint Colour"
    bl_options = {"REGISTER", "UNDO"}
    kind = "material"

    @classmethod
    def poll(cls, context):
        obj = context.active_object
        if obj is None:
            cls.poll_message_set("Select an object to paint")
            return False
        if not can_hold_materials(obj):
            cls.poll_message_set("A %s cannot have a material: use Pick Object Colour for it" % obj.type.lower())
            return False
        return True

    def apply(self, context, obj, target, pick):
        if target.slot >= len(obj.material_slots):
            self.report({"WARNING"}, "Palettra: the material slot of %s was removed while the picker was open; "
                        "nothing changed" % obj.name)
            return {"CANCELLED"}
        material = apply_to_material(obj, target.slot, pick)
        self.report({"INFO"}, "Palettra: %s %s on %s" % (paint_label(pick), pick.get("hex", ""), material.name))
        return {"FINISHED"}


class PALETTRA_OT_pick_object_colour(PickPaintColour, bpy.types.Operator):
    """Pick a paint colour for the active object's viewport display colour"""

    bl_idname = "palettra.pick_object_colour"
    bl_label = "Pick Object Colour"
    bl_options = {"REGISTER", "UNDO"}
    kind = "object"

    @classmethod
    def poll(cls, context):
        if context.active_object is None:
            cls.poll_message_set("Select an object to colour")
            return False
        return True

    def apply(self, context, obj, target, pick):
        apply_to_object(obj, pick)
        message = "Palettra: %s %s on %s" % (paint_label(pick), pick.get("hex", ""), obj.name)
        if not viewport_shows_object_colours(context):
            message += " (to see it, set the viewport's Solid shading Color to Object)"
        self.report({"INFO"}, message)
        return {"FINISHED"}


def draw_recorded_paint(layout, target):
    if target is not None and target.get("palettra_code"):
        layout.label(text="%s (%s)" % (label_of(target["palettra_code"], target.get("palettra_name", "")),
                                       target.get("palettra_collection", "")), icon="CHECKMARK")


def draw_material_pick(self, context):
    """The pick at the very top of the Material tab, above the material slots."""
    if context.active_object is None:
        return
    row = self.layout.row()
    row.operator(PALETTRA_OT_pick_material_colour.bl_idname, icon="COLOR")
    draw_recorded_paint(self.layout, context.active_object.active_material)


# Blender's own first panel of the Material tab, one per render engine: the pick is drawn
# at its top, where it is found first. Engines without one get a panel of the add-on's.
CONTEXT_MATERIAL_PANELS = ("EEVEE_MATERIAL_PT_context_material", "CYCLES_PT_context_material")
_engines_with_pick_on_top = set()


class PALETTRA_PT_material(bpy.types.Panel):
    bl_label = "Paint Colour"
    bl_idname = "PALETTRA_PT_material"
    bl_space_type = "PROPERTIES"
    bl_region_type = "WINDOW"
    bl_context = "material"

    @classmethod
    def poll(cls, context):
        return context.active_object is not None and context.engine not in _engines_with_pick_on_top

    def draw(self, context):
        draw_material_pick(self, context)


class PALETTRA_PT_sidebar(bpy.types.Panel):
    bl_label = "Paint Colour"
    bl_idname = "PALETTRA_PT_sidebar"
    bl_space_type = "VIEW_3D"
    bl_region_type = "UI"
    bl_category = "Palettra"

    def draw(self, context):
        layout = self.layout
        layout.operator(PALETTRA_OT_pick_material_colour.bl_idname, icon="MATERIAL")
        obj = context.active_object
        draw_recorded_paint(layout, obj.active_material if obj is not None else None)
        layout.operator(PALETTRA_OT_pick_object_colour.bl_idname, icon="COLOR")
        draw_recorded_paint(layout, obj)


def draw_object_display(self, context):
    self.layout.operator(PALETTRA_OT_pick_object_colour.bl_idname, icon="COLOR")


class PalettraPreferences(bpy.types.AddonPreferences):
    bl_idname = __name__

    program: bpy.props.StringProperty(
        name="Picker program",
        description="The palettra program; leave empty to use the palettra found on PATH",
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
        self.layout.label(text="Empty: the palettra found on PATH.")
        self.layout.prop(self, "extra_arguments")


CLASSES = (
    PalettraPreferences,
    PALETTRA_OT_pick_material_colour,
    PALETTRA_OT_pick_object_colour,
    PALETTRA_PT_material,
    PALETTRA_PT_sidebar,
)


def register():
    for cls in CLASSES:
        bpy.utils.register_class(cls)
    bpy.types.OBJECT_PT_display.append(draw_object_display)
    for name in CONTEXT_MATERIAL_PANELS:
        panel = getattr(bpy.types, name, None)
        if panel is not None:
            panel.prepend(draw_material_pick)
            _engines_with_pick_on_top.update(getattr(panel, "COMPAT_ENGINES", ()))
    bpy.app.handlers.load_pre.append(end_pick_before_load)


def unregister():
    end_pending_pick("the add-on is being turned off")
    if end_pick_before_load in bpy.app.handlers.load_pre:
        bpy.app.handlers.load_pre.remove(end_pick_before_load)
    bpy.types.OBJECT_PT_display.remove(draw_object_display)
    for name in CONTEXT_MATERIAL_PANELS:
        panel = getattr(bpy.types, name, None)
        if panel is not None:
            panel.remove(draw_material_pick)
    _engines_with_pick_on_top.clear()
    for cls in reversed(CLASSES):
        bpy.utils.unregister_class(cls)
