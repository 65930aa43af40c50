# Palettra for Blender: picks a paint colour with the Palettra picker and gives it to a
# material or an object, with the paint's code, name and collection.
#
# The picker runs as a program of its own (`palettra --pick --format json`), so Blender
# stays responsive while it is open: the operator polls it from a timer, however it was
# started (button, Repeat Last, Python console). Only in background mode (scripts, tests)
# does it wait for the picker. The object (and material slot) the colour goes to is fixed
# when the button is pressed; one picker is open at a time. A pick changes only what
# renders, in a mode whose undo takes it back, or it is refused with the reason.

bl_info = {
    "name": "Palettra paint colours",
    "author": "Orva Tavel",
    "version": (4, 2, 0),
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
import signal
import subprocess
import sys
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
    """Whether the material's name is one this add-on gave: Blender's default, the name
    Blender stored when the add-on last named it (Blender cuts long names, and shortens a
    long name that is taken), or the label of the paint recorded in it; each with the
    number Blender adds to a copy. A name the user typed is the user's."""
    if has_default_name(material):
        return True
    given = (material.get("palettra_material_name", ""),
             label_of(material.get("palettra_code", ""), material.get("palettra_name", "")))
    return any(name and re.fullmatch(re.escape(name) + r"(\.\d{3,})?", material.name) for name in given)


def name_after_paint(material, pick):
    """Names the material after the paint, and remembers the name Blender stored."""
    material.name = paint_label(pick)
    material["palettra_material_name"] = material.name


def can_hold_materials(obj):
    return obj is not None and obj.data is not None and hasattr(obj.data, "materials")


def with_article(word):
    return ("An " if word[:1] in "aeiou" else "A ") + word


def object_kind(obj):
    """The object's type in words: "empty", "light probe"."""
    return obj.type.lower().replace("_", " ")


# The modes whose undo step is Blender's global one, which takes a pick back. The others
# (Edit Mode of meshes, curves, text and metaballs, Texture Paint, particle editing) keep
# an undo of their own data only: Ctrl+Z there would say the pick was undone and leave it.
MODES_WHOSE_UNDO_TAKES_A_PICK_BACK = {
    "OBJECT", "POSE", "SCULPT", "PAINT_WEIGHT", "PAINT_VERTEX",
    "EDIT_GPENCIL", "PAINT_GPENCIL", "SCULPT_GPENCIL", "WEIGHT_GPENCIL", "VERTEX_GPENCIL",
}


def mode_refusal(context):
    """Why no pick can be made in the current mode, or None."""
    mode = context.mode
    if mode in MODES_WHOSE_UNDO_TAKES_A_PICK_BACK:
        return None
    words = {"PAINT_TEXTURE": "Texture Paint", "PARTICLE": "Particle Edit"}.get(mode)
    if words is None:
        words = "Edit Mode" if mode.startswith("EDIT") else mode.replace("_", " ").title()
    return "switch to Object Mode to pick a colour: undo in %s would not take the pick back" % words


def linked_source(socket):
    """The node that feeds an input, through reroutes; None when nothing does (no link,
    or a muted one)."""
    while socket.is_linked:
        link = socket.links[0]
        if link.is_muted:
            return None
        node = link.from_node
        if node.type != "REROUTE":
            return node
        socket = node.inputs[0]
    return None


# The surface shaders whose colour input is the colour of what renders.
PAINTABLE_SHADERS = {"BSDF_PRINCIPLED": "Base Color", "BSDF_DIFFUSE": "Color"}


def paintable_inputs(material):
    """The shader colour inputs that decide how the material renders, and why it cannot
    be painted (None when it can). A material without nodes renders its own colour: no
    inputs, and no reason."""
    if not material.use_nodes or material.node_tree is None:
        return [], None
    tree = material.node_tree
    outputs = []
    for engine in ("EEVEE", "CYCLES"):
        output = tree.get_output_node(engine)
        if output is not None and output not in outputs:
            outputs.append(output)
    if not outputs:
        return [], "“%s” has no Material Output" % material.name
    inputs = []
    for output in outputs:
        shader = linked_source(output.inputs["Surface"])
        if shader is None:
            return [], "the Material Output of “%s” has no surface shader" % material.name
        if shader.type == "GROUP":
            group = shader.node_tree.name if shader.node_tree else shader.name
            return [], "the shader of “%s” sits in the node group “%s”" % (material.name, group)
        if shader.type not in PAINTABLE_SHADERS:
            return [], "the surface of “%s” is a %s, not a Principled BSDF" % (material.name, shader.bl_label)
        colour = shader.inputs[PAINTABLE_SHADERS[shader.type]]
        feeder = linked_source(colour)
        if feeder is not None:
            return [], "the %s of “%s” is fed by the node “%s”" % (colour.name, material.name, feeder.name)
        inputs.append(colour)
    return inputs, None


def grease_pencil_parts(material):
    """The solid stroke and fill colours of a Grease Pencil material, and why it cannot be
    painted (None when it can): a texture or gradient is not one colour."""
    style = material.grease_pencil
    parts = []
    if style.stroke_style == "SOLID":
        parts.append("color")
    if style.fill_style == "SOLID":
        parts.append("fill_color")
    shown = (style.show_stroke and "color" in parts) or (style.show_fill and "fill_color" in parts)
    if not shown:
        return [], "the stroke and fill of “%s” are no solid colours" % material.name
    return parts, None


def material_refusal(obj, material):
    """Why the material cannot take a paint on this object, or None."""
    if material is None:
        return None
    if obj.type == "GPENCIL":
        if not material.is_grease_pencil:
            return "“%s” is no Grease Pencil material" % material.name
        return grease_pencil_parts(material)[1]
    if material.is_grease_pencil:
        return "“%s” is a Grease Pencil material" % material.name
    return paintable_inputs(material)[1]


def slot_material(obj, slot):
    if 0 <= slot < len(obj.material_slots):
        return obj.material_slots[slot].material
    return None


def apply_to_material(obj, slot, pick):
    """The material in the object's slot (made when there is none) takes the paint, in
    what renders: the Base Color of its surface shader (or its own colour without nodes),
    or a Grease Pencil material's stroke and fill. Returns (material, None), or (None,
    reason) with nothing changed."""
    material = slot_material(obj, slot)
    refusal = material_refusal(obj, material)
    if refusal is not None:
        return None, refusal
    if material is None:
        material = bpy.data.materials.new(DEFAULT_MATERIAL_PREFIX)
        if obj.type == "GPENCIL":
            bpy.data.materials.create_gpencil_data(material)
        else:
            material.use_nodes = True
        if 0 <= slot < len(obj.material_slots):
            obj.material_slots[slot].material = material
        else:
            obj.data.materials.append(material)
            obj.active_material_index = len(obj.data.materials) - 1
    colour = linear_colour(pick)
    if material.is_grease_pencil:
        # Each part keeps its own opacity.
        for part in grease_pencil_parts(material)[0]:
            alpha = getattr(material.grease_pencil, part)[3]
            setattr(material.grease_pencil, part, colour[:3] + (alpha,))
    else:
        for colour_input in paintable_inputs(material)[0]:
            colour_input.default_value = colour
        material.diffuse_color = colour
    rename = name_follows_paint(material)
    remember_paint(material, pick)
    if rename:
        name_after_paint(material, pick)
    return material, None


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


def picker_command(context, title=""):
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
    if title:
        command += ["--title", title]
    if prefs and prefs.extra_arguments.strip():
        command += shlex.split(prefs.extra_arguments)
    command += shlex.split(os.environ.get("PALETTRA_PICK_ARGS", ""))
    return command


def picker_message(err, returncode):
    """The picker's last word on standard error, without its own "palettra: " prefix;
    empty when it said nothing and only cancelled."""
    lines = [line.strip() for line in (err or "").splitlines() if line.strip()]
    own = [line for line in lines if line.lower().startswith("palettra:")]
    if own:
        return re.sub(r"^palettra:\s*", "", own[-1], flags=re.IGNORECASE)
    if returncode == 1:
        return ""
    return lines[-1] if lines else "the picker failed (status %d)" % returncode


def picker_title(target):
    """The picker window's title: what it paints, and in which file, so that the pickers
    of two Blenders can be told apart (the picker adds its own name)."""
    blend = os.path.basename(bpy.data.filepath) if bpy.data.filepath else "unsaved file"
    what = "a paint colour" if target.kind == "material" else "an object colour"
    return "Pick %s for %s (%s)" % (what, target.name, blend)


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

    def bring_to_front(self):
        """Asks the picker to show its window above the others (it takes SIGUSR1 so)."""
        if self.process.poll() is None:
            try:
                self.process.send_signal(signal.SIGUSR1)
            except OSError:
                pass

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


def blender_is_quitting():
    """Whether the add-on is being turned off because Blender quits: Blender turns every
    add-on off then through addon_utils.disable_all, which nothing else calls."""
    frame = sys._getframe(1)
    while frame is not None:
        if frame.f_code.co_name == "disable_all" and frame.f_globals.get("__name__") == "addon_utils":
            return True
        frame = frame.f_back
    return False


atexit.register(lambda: end_pending_pick("Blender is quitting"))


def may_wait_for_picker():
    """Only a Blender without a window (background mode) may wait for the picker: an
    interactive one would stop redrawing until the picker closed."""
    return bpy.app.background


class PickPaintColour:
    """What both operators share: fix the target, run the picker without blocking
    Blender, and apply what it printed; a cancel or an error changes nothing."""

    kind = ""
    _timer = None
    _mine = None

    def apply(self, context, obj, target, pick):
        raise NotImplementedError

    def refusal(self, context, obj, target):
        """Why the target cannot take a pick now, or None: checked when the button is
        pressed, so that nobody picks in vain, and again when the pick comes."""
        return mode_refusal(context)

    def refuse(self, reason):
        self.report({"WARNING"}, "Palettra: nothing changed: " + reason)

    def start(self, context):
        global _pending
        if _pending is not None:
            _pending.bring_to_front()
            self.report({"WARNING"}, "A Palettra picker is already open for %s: pick there, or close it first"
                        % _pending.target.name)
            return None
        target = PickTarget(context.active_object, self.kind)
        refusal = self.refusal(context, context.active_object, target)
        if refusal is not None:
            self.refuse(refusal)
            return None
        command = picker_command(context, picker_title(target))
        if command is None:
            self.report({"ERROR"}, "The palettra program was not found (see the add-on's preferences)")
            return None
        try:
            _pending = PendingPick.start(command, target)
        except OSError as error:
            self.report({"ERROR"}, "Cannot start %s: %s" % (command[0], error))
            return None
        return _pending

    def finish(self, context, pending):
        global _pending
        if _pending is pending:
            _pending = None
        returncode, out, err = pending.result()
        if returncode != 0:
            # A close is a cancel; a search that found nothing says so itself.
            message = picker_message(err, returncode)
            if not message:
                self.report({"INFO"}, "Palettra: no colour picked")
            else:
                self.report({"WARNING"} if returncode == 1 else {"ERROR"}, "Palettra: " + message)
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
        refusal = self.refusal(context, obj, pending.target)
        if refusal is not None:
            self.refuse(refusal)
            return {"CANCELLED"}
        return self.apply(context, obj, pending.target, pick)

    def execute(self, context):
        # The button, Repeat Last and the Python console all come here. Blender without a
        # window waits for the answer; an interactive one polls it and keeps drawing.
        if may_wait_for_picker():
            pending = self.start(context)
            if pending is None:
                return {"CANCELLED"}
            pending.wait()
            return self.finish(context, pending)
        if context.window is None:
            self.report({"ERROR"}, "Palettra: a pick needs a Blender window to wait in "
                        "(scripts without one run Blender with --background)")
            return {"CANCELLED"}
        self._mine = self.start(context)
        if self._mine is None:
            return {"CANCELLED"}
        self._timer = context.window_manager.event_timer_add(0.2, window=context.window)
        context.window_manager.modal_handler_add(self)
        return {"RUNNING_MODAL"}

    def invoke(self, context, event):
        return self.execute(context)

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
            cls.poll_message_set("%s cannot have a material: use Pick Object Colour for it"
                                 % with_article(object_kind(obj)))
            return False
        refusal = mode_refusal(context)
        if refusal is not None:
            cls.poll_message_set(refusal)
            return False
        return True

    def refusal(self, context, obj, target):
        return mode_refusal(context) or material_refusal(obj, slot_material(obj, target.slot))

    def apply(self, context, obj, target, pick):
        if target.slot >= len(obj.material_slots):
            self.report({"WARNING"}, "Palettra: the material slot of %s was removed while the picker was open; "
                        "nothing changed" % obj.name)
            return {"CANCELLED"}
        material, refusal = apply_to_material(obj, target.slot, pick)
        if material is None:
            self.refuse(refusal)
            return {"CANCELLED"}
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
        refusal = mode_refusal(context)
        if refusal is not None:
            cls.poll_message_set(refusal)
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
    end_pending_pick("Blender is quitting" if blender_is_quitting() else "the add-on is being turned off")
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
